#include "fs_volumes.h"

#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

#include "fs_paths.h"

namespace fsl {

namespace {

struct VolumeState {
    VolumeSource source;
    std::vector<Volume> list;
    bool loaded = false;
};

VolumeState &volumes()
{
    static VolumeState s;
    return s;
}

} // namespace

void Volumes::SetSource(VolumeSource source)
{
    volumes().source = std::move(source);
    Reload();
}

std::vector<Volume> Volumes::SystemVolumes()
{
    // Pseudo and memory file systems are no drives; neither are the system's own trees.
    static const QList<QByteArray> pseudo = {
        "proc",       "sysfs",     "tmpfs",   "devtmpfs",    "devpts",          "cgroup",      "cgroup2",
        "pstore",     "bpf",       "debugfs", "tracefs",     "securityfs",      "configfs",    "fusectl",
        "mqueue",     "hugetlbfs", "autofs",  "binfmt_misc", "efivarfs",        "nsfs",        "ramfs",
        "rpc_pipefs", "selinuxfs", "overlay", "squashfs",    "fuse.gvfsd-fuse", "fuse.portal", "fuse.lxcfs",
        "nfsd",       "tmpfs"};
    static const QList<QByteArray> network = {
        "nfs", "nfs4",       "cifs",        "smb3",  "smbfs",       "ncpfs",     "afs",
        "9p",  "fuse.sshfs", "fuse.rclone", "davfs", "fuse.davfs2", "glusterfs", "ceph"};
    static const QList<QByteArray> systemTrees = {"/proc",           "/sys",     "/dev", "/run", "/snap",
                                                  "/var/lib/docker", "/var/snap"};
    std::vector<Volume> out;
    const auto mounted = QStorageInfo::mountedVolumes();
    for (const QStorageInfo &s : mounted) {
        const QByteArray root = QFile::encodeName(s.rootPath());
        const QByteArray type = s.fileSystemType();
        const QByteArray device = s.device();
        bool keep = false;
        if (root == "/" || network.contains(type)) {
            keep = true;
        } else if (!pseudo.contains(type)) {
            keep = device.startsWith("/dev/") || root.startsWith("/media/") ||
                   root.startsWith("/run/media/") || root.startsWith("/mnt/");
            for (const QByteArray &t : systemTrees)
                if (IsUnder(root, t) && !root.startsWith("/run/media/"))
                    keep = false;
        }
        if (!keep || !QFileInfo(s.rootPath()).isDir()) // file bind mounts are no drives
            continue;
        const bool seen =
            std::any_of(out.begin(), out.end(), [&](const Volume &v) { return v.root == root; });
        if (!seen)
            out.push_back({root, s.name()});
    }
    std::sort(out.begin(), out.end(), [](const Volume &a, const Volume &b) { return a.root < b.root; });
    return out;
}

void Volumes::Reload()
{
    VolumeState &s = volumes();
    s.list = s.source ? s.source() : SystemVolumes();
    s.loaded = true;
}

const std::vector<Volume> &Volumes::List()
{
    if (!volumes().loaded)
        Reload();
    return volumes().list;
}

QByteArray Volumes::RootOf(const QByteArray &path)
{
    QByteArray best;
    for (const Volume &v : List())
        if (IsUnder(path, v.root) && v.root.size() > best.size())
            best = v.root;
    return best.isEmpty() ? QByteArrayLiteral("/") : best;
}

QByteArray Volumes::OpenFolderOf(const QByteArray &root)
{
    const QByteArray cwd = CleanPath(CurrentFolder());
    return RootOf(cwd) == root ? cwd : root;
}

} // namespace fsl
