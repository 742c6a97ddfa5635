#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "arx/acdocman.h"
#include "arx/acutads.h"
#include "arx/hostcmds.h"
#include "arx/rxdlinkr.h"
#include "mcad/amiapp.h"

namespace {

class PartModellerServicesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cadhost::clearPrintedText();
    cadhost::startHost(false);
    ASSERT_TRUE(mcadLoadApiModule());
  }
  void TearDown() override {
    cadhost::shutdownHost();
    mcadResetServices();
    cadhost::clearPrintedText();
  }
};

std::vector<std::string> seen;

void sceneCallback(AmiObject* key1, AmiObject* key2, void* context) {
  std::string entry = static_cast<const char*>(context);
  entry += AmiSceneKey::cast(key1) ? " left-scene" : " left-none";
  entry += AmiSceneKey::cast(key2) ? " entered-scene" : " entered-none";
  seen.push_back(entry);
}

void throwingCallback(AmiObject*, AmiObject*, void*) { throw std::runtime_error("callback broke"); }

TEST_F(PartModellerServicesTest, ModuleIsListedUnderItsName) {
  std::vector<std::string> names;
  resbuf* list = acedArxLoaded();
  for (resbuf* rb = list; rb; rb = rb->rbnext) names.push_back(rb->resval.rstring);
  acutRelRb(list);
  EXPECT_EQ(names, std::vector<std::string>{"mcadapi.arx"});
  EXPECT_TRUE(mcadLoadApiModule());  // a second load keeps the one entry
}

TEST_F(PartModellerServicesTest, AppRegistersOnceAndGetsItsIdBack) {
  AmiAppId first = 0, again = 0, other = 0;
  EXPECT_EQ(amiRegisterApp("TLXARX", first), Ami::eOk);
  EXPECT_EQ(amiRegisterApp("tlxarx", again), Ami::eAlreadyExists);
  EXPECT_EQ(again, first);
  EXPECT_EQ(amiRegisterApp("OTHER", other), Ami::eOk);
  EXPECT_NE(other, first);
  EXPECT_EQ(amiRegisterApp("", other), Ami::eBadInput);
}

TEST_F(PartModellerServicesTest, SceneEventReachesReactionsWithCastableKeys) {
  AmiAppId app = 0;
  amiRegisterApp("TLXARX", app);
  AmiReactDescrip* descrip = nullptr;
  ASSERT_EQ(AmiReactDescrip::make(descrip, sceneCallback, Ami::kSceneEvent, const_cast<char*>("first")), Ami::eOk);
  EXPECT_EQ(amiRegisterEventReaction(app, descrip), Ami::eOk);
  delete descrip;  // the services keep their own copy
  AmiReactDescrip* thrower = nullptr;
  AmiReactDescrip::make(thrower, throwingCallback, Ami::kSceneEvent);
  amiRegisterEventReaction(app, thrower);
  delete thrower;
  AmiReactDescrip* second = nullptr;
  AmiReactDescrip::make(second, sceneCallback, Ami::kSceneEvent, const_cast<char*>("second"));
  amiRegisterEventReaction(app, second);
  EXPECT_EQ(amiRegisterEventReaction(app + 100, second), Ami::eNotFound);
  EXPECT_EQ(amiRegisterEventReaction(app, nullptr), Ami::eBadInput);
  delete second;

  seen.clear();
  AmiSceneKey scene;
  AmiKey notAScene;
  EXPECT_EQ(amiSendEvent(Ami::kSceneEvent, &scene, &notAScene), 3);
  EXPECT_EQ(amiSendEvent(Ami::kSceneEvent, nullptr, &scene), 3);
  EXPECT_EQ(amiSendEvent(111, &scene, &scene), 0);
  EXPECT_EQ(seen, (std::vector<std::string>{"first left-scene entered-none", "second left-scene entered-none",
                                            "first left-none entered-scene", "second left-none entered-scene"}));
  EXPECT_NE(cadhost::printedText().find("An event reaction failed: callback broke"), std::string::npos);
  EXPECT_EQ(AmiReactDescrip::make(descrip, nullptr, Ami::kSceneEvent), Ami::eBadInput);
  EXPECT_EQ(descrip, nullptr);
}

TEST_F(PartModellerServicesTest, BrowserTabsBelongToTheirDrawing) {
  int window1 = 0, window2 = 0;
  EXPECT_EQ(amiAddBrowserTab("kS.Inside", &window1, 2, nullptr, "MApiSys"), Ami::eNoDocument);
  AcApDocument* first = acDocManagerPtr()->newDocument();
  EXPECT_EQ(amiAddBrowserTab("kS.Inside", &window1, 2, nullptr, "MApiSys"), Ami::eOk);
  EXPECT_EQ(amiAddBrowserTab("kS.Inside", &window1, 2, nullptr, "MApiSys"), Ami::eAlreadyExists);
  EXPECT_EQ(amiAddBrowserTab("no window", nullptr, 2, nullptr, "MApiSys"), Ami::eBadInput);
  AcApDocument* second = acDocManagerPtr()->newDocument();
  EXPECT_EQ(amiAddBrowserTab("Second", &window2, 2, second, "MApiSys"), Ami::eOk);

  ASSERT_EQ(amiBrowserTabs(first).size(), 1u);
  EXPECT_EQ(amiBrowserTabs(first)[0].title, "kS.Inside");
  EXPECT_EQ(amiBrowserTabs(first)[0].pageDisplay, 2);
  ASSERT_EQ(amiBrowserTabs().size(), 1u);  // the current drawing is the second
  EXPECT_EQ(amiBrowserTabs()[0].title, "Second");

  cadhost::clearPrintedText();
  EXPECT_EQ(cadhost::runCommand("BROWSERTABS"), RTNORM);
  EXPECT_NE(cadhost::printedText().find("Browser tabs of Drawing2.dwg: 1\n  \"Second\" group MApiSys, page display 2"),
            std::string::npos)
      << cadhost::printedText();

  EXPECT_EQ(amiRemoveBrowserTab(&window1, second, "MApiSys"), Ami::eNotFound);
  EXPECT_EQ(amiRemoveBrowserTab(&window1, first, "MApiSys"), Ami::eOk);
  EXPECT_TRUE(amiBrowserTabs(first).empty());
  acDocManagerPtr()->closeDocument(second);
  acDocManagerPtr()->activateDocument(first);
  EXPECT_EQ(amiAddBrowserTab("Again", &window2, 2, nullptr, "MApiSys"), Ami::eOk);  // the closed drawing kept nothing
}

}  // namespace
