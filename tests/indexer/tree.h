#pragma once

// Temporary folder trees for the index maker's tests, made with the file
// system's bytes so that names that are not UTF-8 can be made too.
#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "fslists.h"

class Tree
{
public:
    Tree() : root_(QFile::encodeName(QDir(dir_.path()).canonicalPath())) {}
    ~Tree()
    {
        // Unreadable folders would stop the clean-up.
        for (const QByteArray &p : locked_)
            ::chmod(p.constData(), 0755);
        // By bytes: names that are not UTF-8 defeat QDir's clean-up.
        std::error_code ec;
        std::filesystem::remove_all(std::string(root_.constData()), ec);
    }

    const QByteArray &root() const { return root_; }
    QByteArray path(const QByteArray &rel) const { return rel.isEmpty() ? root_ : root_ + '/' + rel; }
    QString qpath(const QByteArray &rel) const { return QFile::decodeName(path(rel)); }

    bool mkdir(const QByteArray &rel) const { return ::mkdir(path(rel).constData(), 0755) == 0; }
    bool touch(const QByteArray &rel) const
    {
        const int fd = ::open(path(rel).constData(), O_CREAT | O_WRONLY, 0644);
        if (fd < 0)
            return false;
        ::close(fd);
        return true;
    }
    bool symlink(const QByteArray &target, const QByteArray &rel) const
    {
        return ::symlink(target.constData(), path(rel).constData()) == 0;
    }
    bool remove(const QByteArray &rel) const
    {
        std::error_code ec;
        std::filesystem::remove_all(std::string(path(rel).constData()), ec);
        return !ec;
    }
    bool unlink(const QByteArray &rel) const { return ::unlink(path(rel).constData()) == 0; }
    void lock(const QByteArray &rel)
    {
        ::chmod(path(rel).constData(), 0);
        locked_ << path(rel);
    }

private:
    QTemporaryDir dir_;
    QByteArray root_;
    QList<QByteArray> locked_;
};

// Chooses the volumes the drive list offers for as long as it lives.
class FakeVolumes
{
public:
    FakeVolumes(std::initializer_list<fsl::Volume> list)
        : volumes_(std::make_shared<std::vector<fsl::Volume>>(list))
    {
        fsl::Volumes::SetSource([v = volumes_] { return *v; });
    }
    FakeVolumes(const FakeVolumes &) = delete;
    FakeVolumes &operator=(const FakeVolumes &) = delete;
    ~FakeVolumes() { fsl::Volumes::SetSource(nullptr); }
    // A disc put in or taken out: seen when the volumes are read next.
    void set(std::vector<fsl::Volume> list) { *volumes_ = std::move(list); }

private:
    std::shared_ptr<std::vector<fsl::Volume>> volumes_;
};

// Refuses to read the given folders, as the system does a folder without
// read permission (root reads every folder whatever its permissions).
class RefusedFolders
{
public:
    RefusedFolders(const QList<QByteArray> &paths, int error)
    {
        fsl::ListingCache::SetSource([paths, error](const QByteArray &path) -> fsl::ListingPtr {
            if (!paths.contains(path))
                return fsl::ReadFolder(path);
            auto l = std::make_shared<fsl::Listing>();
            l->path = path;
            l->error = error;
            return l;
        });
    }
    RefusedFolders(const RefusedFolders &) = delete;
    RefusedFolders &operator=(const RefusedFolders &) = delete;
    ~RefusedFolders() { fsl::ListingCache::SetSource(nullptr); }
};

// Makes the working folder `dir` for as long as it lives.
class WorkingFolder
{
public:
    explicit WorkingFolder(const QByteArray &dir) : old_(fsl::CurrentFolder())
    {
        if (::chdir(dir.constData()) != 0)
            std::perror("chdir");
    }
    ~WorkingFolder()
    {
        if (::chdir(old_.constData()) != 0)
            std::perror("chdir");
    }

private:
    QByteArray old_;
};
