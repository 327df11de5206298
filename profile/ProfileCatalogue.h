#pragma once
// The 103 built-in profiles the program creates when profile.dat is missing or holds no valid
// record. Only the start-up load builds it. It is merged into an existing set only when
// profile.dat was damaged: then the profiles it lost are restored.
#include "profile/ProfileTree.h"

#include <vector>

namespace profile {

// The built-in records in catalogue order (which is also the pre-order of the tree they build).
std::vector<ProfileRecord> catalogueRecords();

// Inserts every built-in record into `tree` in catalogue order; refused ones are skipped.
void buildCatalogue(ProfileTree& tree);

// Inserts every built-in record whose profileName is the text of no profile node of `tree`, in
// catalogue order. A category node that bears such a name (its built-in children survived the
// damage, the profile itself did not) takes the record where it stands. Returns how many
// records were restored.
std::size_t restoreMissingCatalogueProfiles(ProfileTree& tree);

}  // namespace profile
