#pragma once
// A fresh directory under /tmp for one test, removed with everything in it when the object
// goes away.

#include <string>

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path() + "/" + name
    std::string file(const std::string& name) const;
    // Writes `contents` byte for byte to path()/name (subdirectories are the caller's job)
    // and returns the full path.
    std::string write(const std::string& name, const std::string& contents) const;

  private:
    std::string path_;
};

// The whole contents of a file, or "" when it cannot be read.
std::string readFile(const std::string& path);
