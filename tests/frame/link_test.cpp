// V2Link and V2Unlink of the built library, loaded with the host's plug-in
// loader: what is registered and in which order, when unlinking is refused,
// and which symbols the library exports.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "host/environment.h"
#include "host/script_object.h"
#include "hostapi/host_functions.h"
#include "tests/frame/pe_tables.h"
#include "tests/loaded_module.h"

#ifndef _WIN32
#include <elf.h>
#endif

namespace fxtest {
namespace {

using zanhost::Variant;

// What the module did to the registry and the global object, in order.
std::vector<std::string> *events = nullptr;

std::string NameOf(iZANTransHandlerProvider *provider) {
  const orn_char *name = nullptr;
  provider->GetName(&name);
  return zanhost::ToUtf8(zanhost::TextView(name));
}

void Record(std::string event) {
  if (events != nullptr) {
    events->push_back(std::move(event));
  }
}

void RecordAddProvider(iZANTransHandlerProvider *provider) {
  Record("add " + NameOf(provider));
  zanhost::ZANAddTransHandlerProvider(provider);
}

void RecordRemoveProvider(iZANTransHandlerProvider *provider) {
  Record("remove " + NameOf(provider));
  zanhost::ZANRemoveTransHandlerProvider(provider);
}

// Stands for the global object: logs members set and deleted, with the flags,
// and whether the hint was null and objthis the global object itself.
class GlobalRecorder : public zanhost::ScriptObject {
 public:
  explicit GlobalRecorder(iORNDispatch2 *global) : global_(global) {}

  orn_int SetMember(orn_uint32 flag, const orn_char *name, orn_uint32 *hint,
                    const tORNVariant *value, iORNDispatch2 *objthis) override {
    Log("set", flag, name, hint, objthis);
    return global_->SetMember(flag, name, hint, value, global_);
  }
  orn_int DeleteMember(orn_uint32 flag, const orn_char *name, orn_uint32 *hint,
                       iORNDispatch2 *objthis) override {
    Log("delete", flag, name, hint, objthis);
    return global_->DeleteMember(flag, name, hint, global_);
  }

 private:
  void Log(const char *what, orn_uint32 flag, const orn_char *name, orn_uint32 *hint,
           iORNDispatch2 *objthis) {
    const bool plain = hint == nullptr && objthis == this;
    Record(std::string(what) + " " + zanhost::ToUtf8(zanhost::TextView(name)) + " " +
           std::to_string(flag) + (plain ? "" : " (hint or objthis wrong)"));
  }

  iORNDispatch2 *global_;
};

GlobalRecorder *globalRecorder = nullptr;

iORNDispatch2 *RecordedScriptDispatch() {
  if (globalRecorder == nullptr || !zanhost::CurrentEnvironment().GlobalObjectAvailable()) {
    return zanhost::ZANGetScriptDispatch();
  }
  globalRecorder->AddRef();
  return globalRecorder;
}

// The host's lookup, with registration and the global object passing through
// the recorders above. Lookups are still counted by the host's table.
class RecordingLookup : public iZANFunctionLookup {
 public:
  explicit RecordingLookup(zanhost::FunctionTable &host) : host_(host) {}
  void HostReserved() override {}
  bool ResolveFunction(const char **keys, void **functions, orn_uint32 count) override {
    const bool found = host_.ResolveFunction(keys, functions, count);
    for (orn_uint32 i = 0; i < count; ++i) {
      const std::string key = keys[i];
      if (key == hostfn::ZANAddTransHandlerProvider::key) {
        functions[i] = reinterpret_cast<void *>(&RecordAddProvider);
      } else if (key == hostfn::ZANRemoveTransHandlerProvider::key) {
        functions[i] = reinterpret_cast<void *>(&RecordRemoveProvider);
      } else if (key == hostfn::ZANGetScriptDispatch::key) {
        functions[i] = reinterpret_cast<void *>(&RecordedScriptDispatch);
      }
    }
    return found;
  }

 private:
  zanhost::FunctionTable &host_;
};

// Each test links when and how it needs to.
class LinkTest : public LoadedModuleTest {
 protected:
  void SetUp() override {}

  bool Registered(const orn_char *name) { return env_.Registry().Find(name) != nullptr; }
  bool IsMember(const orn_char *name) { return env_.Global().Has(name); }
  void DropMember(const orn_char *name) {
    env_.Global().DeleteMember(0, name, nullptr, &env_.Global());
  }
};

TEST_F(LinkTest, RegistersAndRemovesInOrder) {
  std::vector<std::string> log;
  events = &log;
  zanhost::Ref<GlobalRecorder> recorder =
      zanhost::Ref<GlobalRecorder>::Adopt(new GlobalRecorder(&env_.Global()));
  globalRecorder = recorder.get();
  RecordingLookup lookup(env_.Functions());
  const char *const removeKey = hostfn::ZANRemoveTransHandlerProvider::key;

  ASSERT_EQ(module_->Link(&lookup), 0);
  const std::string create = std::to_string(FlagCreateMember);
  EXPECT_EQ(log, (std::vector<std::string>{"add test", "add add", "add brightness",
                                           "set distortion " + create, "set blur " + create,
                                           "set blur_alpha " + create}));
  EXPECT_EQ(env_.Registry().Count(), 3u);
  for (const orn_char *name : {u"test", u"add", u"brightness"}) {
    EXPECT_TRUE(Registered(name));
  }
  for (const orn_char *name : kModuleGlobalFunctions) {
    EXPECT_TRUE(IsMember(name));
  }
  EXPECT_EQ(env_.Functions().LookupCount(removeKey), 0);

  log.clear();
  DropGlobalFunctions();
  ASSERT_EQ(module_->Unlink(), 0);
  EXPECT_EQ(log, (std::vector<std::string>{"remove test", "remove add", "remove brightness",
                                           "delete distortion 0", "delete blur 0",
                                           "delete blur_alpha 0"}));
  EXPECT_EQ(env_.Functions().LookupCount(removeKey), 1);
  EXPECT_EQ(env_.Registry().Count(), 0u);
  events = nullptr;
  globalRecorder = nullptr;
}

TEST_F(LinkTest, UnlinkRefusedUntilTheScriptDropsItsReferences) {
  ASSERT_EQ(module_->Link(&env_.Functions()), 0);
  // The global object holds one reference on each function: a total of 3.
  EXPECT_EQ(module_->Unlink(), E_FAIL);
  EXPECT_EQ(env_.Registry().Count(), 3u);
  for (const orn_char *name : kModuleGlobalFunctions) {
    EXPECT_TRUE(IsMember(name));
  }
  DropMember(u"distortion");
  EXPECT_EQ(module_->Unlink(), E_FAIL);  // 2
  EXPECT_EQ(env_.Registry().Count(), 3u);
  DropMember(u"blur");
  EXPECT_EQ(module_->Unlink(), 0);  // 1 does not refuse
  for (const orn_char *name : {u"test", u"add", u"brightness"}) {
    EXPECT_FALSE(Registered(name));
  }
  for (const orn_char *name : kModuleGlobalFunctions) {
    EXPECT_FALSE(IsMember(name));
  }
}

TEST_F(LinkTest, ObjectHeldTwiceCountsTwice) {
  ASSERT_EQ(module_->Link(&env_.Functions()), 0);
  Variant first, second;
  env_.Global().GetMember(0, u"blur", nullptr, first.Raw(), &env_.Global());
  second = first;
  DropGlobalFunctions();
  EXPECT_EQ(module_->Unlink(), E_FAIL);
  second = Variant();
  EXPECT_EQ(module_->Unlink(), 0);
}

TEST_F(LinkTest, UnlinkWithoutGlobalObjectRemovesOnlyProviders) {
  ASSERT_EQ(module_->Link(&env_.Functions()), 0);
  DropMember(u"distortion");
  DropMember(u"blur_alpha");
  env_.SetGlobalObjectAvailable(false);
  EXPECT_EQ(module_->Unlink(), 0);
  env_.SetGlobalObjectAvailable(true);
  EXPECT_EQ(env_.Registry().Count(), 0u);
  EXPECT_TRUE(IsMember(u"blur"));
  DropMember(u"blur");  // while the module's code is still loaded
}

#ifdef _WIN32

TEST_F(LinkTest, LibraryExportsOnlyItsTwoEntries) {
  PeTables tables;
  ASSERT_TRUE(ReadPeTables(ReadFileBytes(FX_MODULE_PATH), tables));
  EXPECT_EQ(tables.exports, (std::set<std::string>{"V2Link", "V2Unlink"}));
}

#else

// The names of the symbols a shared library defines in its dynamic table.
template <class Header, class Section, class Symbol, unsigned char kClass>
std::set<std::string> DefinedDynamicSymbols(const std::vector<char> &file) {
  Header header;
  std::memcpy(&header, file.data(), sizeof header);
  std::set<std::string> names;
  if (header.e_ident[EI_CLASS] != kClass) {
    return names;
  }
  auto section = [&](size_t index) {
    Section out;
    std::memcpy(&out, file.data() + header.e_shoff + index * header.e_shentsize, sizeof out);
    return out;
  };
  for (size_t i = 0; i < header.e_shnum; ++i) {
    const Section table = section(i);
    if (table.sh_type != SHT_DYNSYM) {
      continue;
    }
    const char *strings = file.data() + section(table.sh_link).sh_offset;
    for (size_t k = 0; k < table.sh_size / sizeof(Symbol); ++k) {
      Symbol symbol;
      std::memcpy(&symbol, file.data() + table.sh_offset + k * sizeof(Symbol), sizeof symbol);
      if (symbol.st_shndx != SHN_UNDEF && symbol.st_name != 0) {
        names.insert(strings + symbol.st_name);
      }
    }
  }
  return names;
}

TEST_F(LinkTest, LibraryExportsOnlyItsTwoEntries) {
  const std::vector<char> file = ReadFileBytes(FX_MODULE_PATH);
  ASSERT_GT(file.size(), sizeof(Elf64_Ehdr));
  std::set<std::string> names =
      DefinedDynamicSymbols<Elf64_Ehdr, Elf64_Shdr, Elf64_Sym, ELFCLASS64>(file);
  const std::set<std::string> names32 =
      DefinedDynamicSymbols<Elf32_Ehdr, Elf32_Shdr, Elf32_Sym, ELFCLASS32>(file);
  names.insert(names32.begin(), names32.end());
  EXPECT_EQ(names, (std::set<std::string>{"V2Link", "V2Unlink"}));
}

#endif

}  // namespace
}  // namespace fxtest
