#pragma once

#include <QString>
#include <QStringList>

// The recent-file list of the File menu: the last quiz files opened, most recent first, kept in
// the profile's section "Recent File List" as "File1" to "File4".
class RecentFileList {
public:
    static constexpr int kSize = 4;

    void ReadList();
    void WriteList() const;
    // Puts `path` at the top; an entry for the same file moves up instead of appearing twice.
    void Add(const QString& path);
    void Remove(int index);
    const QStringList& Files() const { return m_files; }

private:
    QStringList m_files;
};
