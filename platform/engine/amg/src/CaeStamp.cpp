#include "amg/CaeStamp.h"

#include <atomic>

namespace {
std::atomic<std::uint64_t> generation{1};
}

void CaeStamp::New() { generation.fetch_add(1); }
std::uint64_t CaeStamp::CurrentGeneration() { return generation.load(); }
void CaeStamp::Set() { generation_ = generation.load(); }
bool CaeStamp::Test() const { return generation_ == generation.load(); }
