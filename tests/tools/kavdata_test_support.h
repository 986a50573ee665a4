// The tools tests' fixture: kavdata over an in-memory disk and the embedded
// record engine on top of it, run in-process with its output captured.
#ifndef TORVANE_TESTS_TOOLS_KAVDATA_TEST_SUPPORT_H_
#define TORVANE_TESTS_TOOLS_KAVDATA_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/record_engine.h"
#include "platform/memory_file_system.h"
#include "tools/kavdata_cli.h"

namespace torvane::testing {

struct KavdataResult {
  int exit_code = 0;
  std::string out;
  std::string err;
};

class KavdataTest : public ::testing::Test {
 protected:
  KavdataResult Run(const std::vector<std::string>& arguments) {
    std::ostringstream out;
    std::ostringstream err;
    KavdataResult result;
    result.exit_code = kavdata::RunKavdata(arguments, services_, out, err);
    result.out = out.str();
    result.err = err.str();
    return result;
  }

  // Every file under `folder` (any depth), by path.
  std::map<std::string, std::string> FilesUnder(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const DirectoryEntry& entry : fs_.Find(folder + "\\*")) {
      const std::string path = folder + "\\" + entry.name;
      if ((entry.attributes & kAttributeFolder) != 0) {
        for (auto& [p, bytes] : FilesUnder(path)) files[p] = bytes;
      } else {
        files[path] = fs_.GetFile(path).value_or("");
      }
    }
    return files;
  }

  MemoryFileSystem fs_;
  RecordEngine engine_{fs_};
  kavdata::Services services_{fs_, engine_};
};

}  // namespace torvane::testing

#endif  // TORVANE_TESTS_TOOLS_KAVDATA_TEST_SUPPORT_H_
