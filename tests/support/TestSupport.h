#pragma once
// Helpers shared by the tests.
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

// A fresh temporary folder, removed with its contents when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Sets environment variables for its scope (an empty optional unsets one) and restores them after.
class ScopedEnvironment {
public:
    using Values = std::map<std::string, std::optional<std::string>>;
    explicit ScopedEnvironment(const Values& values);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    Values saved_;
};

// Reads a whole file as bytes; empty when it cannot be read.
std::vector<unsigned char> readBytes(const std::filesystem::path& file);
// Writes bytes to a file, replacing it.
void writeBytes(const std::filesystem::path& file, const std::vector<unsigned char>& bytes);
// The whole file as text; empty when it cannot be read.
std::string readText(const std::filesystem::path& file);
// Writes text to a file, replacing it, and creates its folder first.
void writeText(const std::filesystem::path& file, const std::string& text);

}  // namespace testsupport
