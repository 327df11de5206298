#pragma once
// The captured encoder outputs under tests/convert/fixtures.
#include <fstream>
#include <iterator>
#include <string>

namespace testfixtures {

inline std::string path(const std::string& name)
{
    return std::string(LUMARET_TEST_FIXTURES) + "/" + name;
}

// The whole fixture; an empty text fails the calling test's expectations loudly enough.
inline std::string read(const std::string& name)
{
    std::ifstream in(path(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace testfixtures
