#pragma once
// The 103 built-in profiles the program creates when profile.dat is missing or holds no valid
// record. Only the start-up load builds it; it is never merged into an existing set.
#include "profile/ProfileTree.h"

#include <vector>

namespace profile {

// The built-in records in catalogue order (which is also the pre-order of the tree they build).
std::vector<ProfileRecord> catalogueRecords();

// Inserts every built-in record into `tree` in catalogue order; refused ones are skipped.
void buildCatalogue(ProfileTree& tree);

}  // namespace profile
