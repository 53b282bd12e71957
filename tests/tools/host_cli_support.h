// Running wendlow-host as a program on Linux, in a folder of the test's own.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace host_cli {

struct RunResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

class HostCli : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/wendlow-host-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

  // Runs the host with the arguments (already quoted for the shell) in a clean environment;
  // `limits` are shell commands run first (ulimit). A host still running after a minute
  // has hung: timeout ends it with status 124.
  RunResult run(const std::string& arguments, const std::string& limits = "") {
    const std::string out = dir_ + "/stdout", err = dir_ + "/stderr";
    std::string command = "cd '" + dir_ + "' && " + limits + " env -u WINPLAT_REGISTRY_FILE timeout 60 '" +
                          WENDLOW_HOST_EXE "' " + arguments + " >'" + out + "' 2>'" + err + "'";
    int status = std::system(command.c_str());
    RunResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = readFile(out);
    result.err = readFile(err);
    return result;
  }

  std::string dir_;
};

}  // namespace host_cli
