#include "host/function_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "host_fixture.h"
#include "hostapi/host_functions.h"
#include "tests/all_host_keys.h"

namespace zanhost {
namespace {

using FunctionTableTest = HostTest;

void *Resolve(FunctionTable &table, const char *key) {
  void *function = reinterpret_cast<void *>(&Resolve);
  return table.ResolveFunction(&key, &function, 1) ? function : nullptr;
}

TEST_F(FunctionTableTest, EveryContractKeyResolvesToItsOwnFunction) {
  FunctionTable &table = env_.Functions();
  EXPECT_EQ(table.FunctionCount(), std::size(fxtest::kAllHostKeys));
  std::set<void *> distinct;
  for (const char *key : fxtest::kAllHostKeys) {
    SCOPED_TRACE(key);
    void *function = Resolve(table, key);
    EXPECT_NE(function, nullptr);
    distinct.insert(function);
  }
  EXPECT_EQ(distinct.size(), std::size(fxtest::kAllHostKeys));
}

TEST_F(FunctionTableTest, ResolvedPointerIsCallable) {
  auto fill = reinterpret_cast<hostfn::ZANFillARGB::type>(
      Resolve(env_.Functions(), hostfn::ZANFillARGB::key));
  orn_uint32 pixels[2] = {0, 0};
  fill(pixels, 2, 0x12345678u);
  EXPECT_EQ(pixels[1], 0x12345678u);
}

TEST_F(FunctionTableTest, LookupsAreCountedPerKey) {
  FunctionTable &table = env_.Functions();
  const char *key = hostfn::ZANAddBlend::key;
  EXPECT_EQ(table.LookupCount(key), 0);
  Resolve(table, key);
  Resolve(table, key);
  EXPECT_EQ(table.LookupCount(key), 2);
  EXPECT_EQ(table.LookupCount(hostfn::ZANFillARGB::key), 0);
  EXPECT_EQ(Resolve(table, "void ::ZANAddBlend(orn_uint32*,const orn_uint32*,orn_int)"), nullptr);
  EXPECT_EQ(table.LookupCount("void ::ZANAddBlend(orn_uint32*,const orn_uint32*,orn_int)"), 1);
}

TEST_F(FunctionTableTest, WithheldKeyFailsUntilRestored) {
  FunctionTable &table = env_.Functions();
  const char *key = hostfn::ZANAddBlend::key;
  table.Withhold(key);
  const char *keys[] = {key};
  void *function = reinterpret_cast<void *>(&Resolve);
  EXPECT_FALSE(table.ResolveFunction(keys, &function, 1));
  EXPECT_EQ(function, nullptr);
  EXPECT_EQ(table.LookupCount(key), 1);
  EXPECT_NE(Resolve(table, hostfn::ZANFillARGB::key), nullptr);
  table.Restore(key);
  EXPECT_NE(Resolve(table, key), nullptr);
  EXPECT_EQ(table.LookupCount(key), 2);
}

TEST_F(FunctionTableTest, SeveralKeysSucceedOnlyWhenAllAreFound) {
  FunctionTable &table = env_.Functions();
  const char *keys[] = {hostfn::ZANFillARGB::key, "no such key"};
  void *functions[2] = {nullptr, nullptr};
  EXPECT_FALSE(table.ResolveFunction(keys, functions, 2));
  EXPECT_NE(functions[0], nullptr);
  EXPECT_EQ(functions[1], nullptr);
}

}  // namespace
}  // namespace zanhost
