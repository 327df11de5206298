#pragma once
// Builds an icon container (.ico) whose entries are PNG pictures, one per size. Qt can read such
// files but writes only the older bitmap entries, so the generator assembles the container itself.
#include <QByteArray>
#include <QImage>
#include <QList>

namespace skingen {

class IconFile {
public:
    // pictures: square 32-bit images of 1 to 256 pixels, smallest first. Returns an empty array when
    // a picture cannot be encoded or has an unsupported size.
    static QByteArray build(const QList<QImage>& pictures);
};

}  // namespace skingen
