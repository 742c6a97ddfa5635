#include <dlfcn.h>
#include <stdlib.h>

#include "arx/accmd.h"
#include "arx/aced.h"
#include "arx/acutads.h"
#include "arx/hostcmds.h"
#include "arx/hostinput.h"
#include "arx/rxdlinkr.h"
#include "host_fixture.h"
#include "test_env.h"

namespace {

std::string modulePath(const char* variant) {
  return kestrum::test::buildPath(std::string("tests/modules/test_module_") + variant + ".so").string();
}

// True while the shared object is mapped into the process.
bool isMapped(const std::string& path) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle) dlclose(handle);
  return handle != nullptr;
}

std::vector<std::string> loadedNames() {
  std::vector<std::string> names;
  resbuf* list = acedArxLoaded();
  for (resbuf* rb = list; rb; rb = rb->rbnext) names.push_back(rb->resval.rstring);
  acutRelRb(list);
  return names;
}

using DynamicLinkerTest = HostTest;

TEST_F(DynamicLinkerTest, LoadAttachesInitialisesAndUnloadDetaches) {
  std::string path = modulePath("accepting");
  acDocManagerPtr()->newDocument();
  cadhost::clearPrintedText();
  ASSERT_TRUE(acrxDynamicLinker->loadModule(path.c_str(), true));
  EXPECT_EQ(cadhost::printedText(), "[attach][msg 1][msg 3]");
  EXPECT_EQ(loadedNames(), std::vector<std::string>{"test_module_accepting.so"});
  EXPECT_TRUE(acrxDynamicLinker->isAppMDIAware("test_module_accepting.so"));
  EXPECT_FALSE(acrxDynamicLinker->loadModule(path.c_str(), true));  // already loaded

  cadhost::clearPrintedText();
  ASSERT_TRUE(acrxDynamicLinker->unloadModule("TEST_MODULE_ACCEPTING.SO"));
  EXPECT_EQ(cadhost::printedText(), "[msg 2][detach]");
  EXPECT_TRUE(loadedNames().empty());
  EXPECT_FALSE(isMapped(path));
}

TEST_F(DynamicLinkerTest, RefusedAttachUnloadsAtOnceWithoutMessages) {
  std::string path = modulePath("refusing");
  EXPECT_FALSE(acrxDynamicLinker->loadModule(path.c_str(), true));
  EXPECT_EQ(cadhost::printedText().substr(0, 8), "[attach]");
  EXPECT_EQ(cadhost::printedText().find("[msg"), std::string::npos);
  EXPECT_NE(cadhost::printedText().find("refused to load"), std::string::npos);
  EXPECT_TRUE(loadedNames().empty());
  EXPECT_FALSE(isMapped(path));
}

TEST_F(DynamicLinkerTest, LockedApplicationStaysLoaded) {
  setenv("KESTRUM_TEST_MODULE_LOCKED", "1", 1);
  ASSERT_TRUE(acrxDynamicLinker->loadModule(modulePath("accepting").c_str(), true));
  unsetenv("KESTRUM_TEST_MODULE_LOCKED");
  EXPECT_TRUE(acrxDynamicLinker->isApplicationLocked("test_module_accepting.so"));
  EXPECT_FALSE(acrxDynamicLinker->unloadModule("test_module_accepting.so"));
  EXPECT_NE(cadhost::printedText().find("is locked"), std::string::npos);
  EXPECT_EQ(cadhost::printedText().find("[msg 2]"), std::string::npos);
  EXPECT_EQ(loadedNames().size(), 1u);
}

int unloadInsideResult = 0;
void unloadInside() { unloadInsideResult = acedCommand(RTSTR, "ARXUNLOAD", RTSTR, "test_module_accepting.so", RTNONE); }

TEST_F(DynamicLinkerTest, NoUnloadWhileACommandRuns) {
  acDocManagerPtr()->newDocument();
  ASSERT_TRUE(acrxDynamicLinker->loadModule(modulePath("accepting").c_str(), true));
  ASSERT_EQ(acedRegCmds->addCommand("TEST", "TEST_UNLOAD", "TEST_UNLOAD", 0, unloadInside), Acad::eOk);
  EXPECT_EQ(cadhost::runCommand("TEST_UNLOAD"), RTNORM);
  acedRegCmds->removeGroup("TEST");
  EXPECT_EQ(unloadInsideResult, RTERROR);
  EXPECT_TRUE(acrxDynamicLinker->isModuleLoaded("test_module_accepting.so"));
  EXPECT_NE(cadhost::printedText().find("cannot be unloaded while a command runs"), std::string::npos);
}

TEST_F(DynamicLinkerTest, QuitSendsQuitBeforeUnloadAndClosesDrawingsBetween) {
  acDocManagerPtr()->newDocument();
  ASSERT_TRUE(acrxDynamicLinker->loadModule(modulePath("accepting").c_str(), true));
  cadhost::clearPrintedText();
  acDocManagerPtr()->quit();
  EXPECT_EQ(cadhost::printedText(), "[msg 8][msg 4][msg 2][detach]");
  EXPECT_FALSE(isMapped(modulePath("accepting")));
}

TEST_F(DynamicLinkerTest, BadModulesAreRefusedWithAReason) {
  struct Case {
    const char* name;
    std::string path;
    const char* reason;
  };
  kestrum::test::TempDir dir;
  std::string notALibrary = (dir / "plain.txt").string();
  {
    FILE* f = fopen(notALibrary.c_str(), "w");
    fputs("text", f);
    fclose(f);
  }
  const Case cases[] = {
      {"missing file", "/no/such/module.so", "Cannot load /no/such/module.so"},
      {"not a library", notALibrary, "Cannot load"},
      {"no entry point", kestrum::test::buildPath("lib/libacad.so").string(), "no acrxEntryPoint"},
  };
  for (const Case& c : cases) {
    cadhost::clearPrintedText();
    EXPECT_FALSE(acrxDynamicLinker->loadModule(c.path.c_str(), true)) << c.name;
    EXPECT_NE(cadhost::printedText().find(c.reason), std::string::npos) << c.name << ": " << cadhost::printedText();
  }
  EXPECT_TRUE(loadedNames().empty());
}

TEST_F(DynamicLinkerTest, KnownBuiltinLibraryLoadsWithoutAFile) {
  EXPECT_TRUE(acrxDynamicLinker->loadModule("acbr15.dll", true));
  EXPECT_TRUE(acrxDynamicLinker->isModuleLoaded("ACBR15.DLL"));
  EXPECT_TRUE(loadedNames().empty());  // a library, not an application
  EXPECT_EQ(cadhost::printedText(), "");
}

TEST_F(DynamicLinkerTest, RegistryHoldsTheHostEntries) {
  EXPECT_EQ(acrxSysRegistry()->at("DynamicLinker"), acrxDynamicLinker);
  EXPECT_EQ(acrxSysRegistry()->at("AcEditor"), acedEditor);
  EXPECT_NE(AcRxDynamicLinker::cast(acrxSysRegistry()->at("DynamicLinker")), nullptr);
  EXPECT_NE(acrxSysRegistry()->at("ACAD_REGISTERED_COMMANDS"), nullptr);
}

TEST_F(DynamicLinkerTest, ArxCommandsLoadAndUnloadByName) {
  acDocManagerPtr()->newDocument();
  cadhost::pushFrontWords({modulePath("accepting")});
  EXPECT_EQ(cadhost::runCommand("ARXLOAD"), RTNORM);
  cadhost::pushFrontWords({"test_module_accepting.so"});
  EXPECT_EQ(cadhost::runCommand("_ARXUNLOAD"), RTNORM);
  EXPECT_NE(cadhost::printedText().find("[msg 2][detach]"), std::string::npos);
  cadhost::pushFrontWords({"test_module_accepting.so"});
  EXPECT_EQ(cadhost::runCommand("ARXUNLOAD"), RTERROR);
  EXPECT_NE(cadhost::printedText().find("is not loaded"), std::string::npos);
}

}  // namespace
