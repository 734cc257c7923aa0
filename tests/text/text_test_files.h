// Small file helpers shared by the text suites.
#pragma once

#include <fstream>
#include <iterator>
#include <string>

// dir and name joined with the host's folder separator.
inline std::string JoinPath(const std::string& dir, const std::string& name) {
#ifdef _WIN32
  return dir + "\\" + name;
#else
  return dir + "/" + name;
#endif
}

inline std::string WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
