#pragma once
// Whether 516 bytes read from a profile file are a profile record this program wrote, or bytes
// that only look like one (a record of another version, a block of zeros, random or damaged bytes).
//
// A record is intact when it carries the magic "Lumaret" in bytes 508..514 and every field is in
// the range the program itself can store:
//   - the three flags (isDefault, isUserProfile, inContextMenu) are 0 or 1;
//   - categoryName and profileName end with a NUL inside their arrays, are not empty and hold no
//     half surrogate pair; videoSize likewise ends inside its array (it may be empty);
//   - conversionType names a row of the conversion-type table (0..51);
//   - the codec indices are at most the type's codec count (or 1, which the editor stores for a
//     type without such codecs); zero and negative values mean "the default codec" and are fine;
//   - frameRate and audioBitrate are finite numbers (zero and negative mean "not given");
//   - audioChannels names a row of the channel table (0..4).
// The bytes behind each text's NUL, byte 515 and the numbers that have no upper limit (bit rates,
// sample rate) are not examined: any value there is one the program may have written.
#include "profile/ProfileRecord.h"

namespace profile {

bool isIntactRecord(const ProfileRecord& record);

}  // namespace profile
