#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

namespace fsl {

// The mounted volumes a person calls drives.
struct Volume {
    QByteArray root;
    QString label;
};
using VolumeSource = std::function<std::vector<Volume>()>;

class Volumes
{
public:
    // nullptr restores the system's mounted volumes; the list is read anew.
    static void SetSource(VolumeSource source);
    static std::vector<Volume> SystemVolumes();
    static const std::vector<Volume> &List();
    static void Reload();
    // The drive a path lies on: the longest volume root that contains it; "/" when none does.
    static QByteArray RootOf(const QByteArray &path);
    // The folder a drive opens at: the current working folder when it lies on that drive, else its root.
    static QByteArray OpenFolderOf(const QByteArray &root);
};

} // namespace fsl
