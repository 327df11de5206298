#include "platform/core/EmbeddedResource.h"

namespace platform {

namespace {

// The toolkit reads paths that start with ":/" from the resources linked into the program.
constexpr const char* kPrefix = ":/lumaret/";

}  // namespace

std::string EmbeddedResource::path(const std::string& name) { return kPrefix + name; }

bool EmbeddedResource::isEmbedded(const std::string& path) { return path.rfind(":/", 0) == 0; }

}  // namespace platform
