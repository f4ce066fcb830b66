#pragma once
// A fresh directory under /tmp for one test, removed with all in it at the end; reading a file.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <stdlib.h>
#include <string>
#include <sys/stat.h>

class TempDir {
  public:
    TempDir() {
        char pattern[] = "/tmp/pyrokettle-test-XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        path_ = pattern;
    }
    ~TempDir() {
        namespace fs = std::filesystem;
        std::error_code ignored; // tests may make parts read-only: give write access back
        chmod(path_.c_str(), 0700);
        for (auto it = fs::recursive_directory_iterator(path_, ignored); it != fs::end(it);
             it.increment(ignored)) {
            if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
                chmod(it->path().c_str(), 0700);
            }
        }
        fs::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    // Writes `contents` to path()/name (subdirectories are the caller's job); returns the path.
    std::string write(const std::string& name, const std::string& contents) const {
        std::ofstream(file(name), std::ios::binary) << contents;
        return file(name);
    }

  private:
    std::string path_;
};

// The whole contents of a file, or "" when it cannot be read.
inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
