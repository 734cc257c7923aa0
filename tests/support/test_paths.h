// Paths to test data that work natively and under Wine.
#pragma once

#include <string>

// A path on the Linux file system, as the program under test must spell it:
// unchanged natively, "Z:\..." under Wine.
std::string HostPath(const std::string& unix_path);

// A fresh, empty scratch folder for one test (under the build folder), as a host path.
std::string ScratchDir(const std::string& name);

// Whether a file exists (host path).
bool FileExists(const std::string& host_path);

// "" when the font at unix_path is installed; else a message naming the Debian
// package that holds it, which scripts/install-deps installs.
std::string MissingFont(const std::string& unix_path);
