#include "app/RecentFileList.h"

#include "platform/Profile.h"

namespace {

const QString kSection = QStringLiteral("Recent File List");

QString EntryName(int index) {
    return QStringLiteral("File%1").arg(index + 1);
}

} // namespace

void RecentFileList::ReadList() {
    m_files.clear();
    auto profile = OpenProfile();
    profile->beginGroup(kSection);
    for (int i = 0; i < kSize; ++i) {
        const QString path = profile->value(EntryName(i)).toString();
        if (!path.isEmpty() && !m_files.contains(path))
            m_files << path;
    }
}

void RecentFileList::WriteList() const {
    auto profile = OpenProfile();
    profile->remove(kSection);
    profile->beginGroup(kSection);
    for (int i = 0; i < m_files.size(); ++i)
        profile->setValue(EntryName(i), m_files[i]);
}

void RecentFileList::Add(const QString& path) {
    if (path.isEmpty())
        return;
    m_files.removeAll(path);
    m_files.prepend(path);
    while (m_files.size() > kSize)
        m_files.removeLast();
}

void RecentFileList::Remove(int index) {
    if (index >= 0 && index < m_files.size())
        m_files.removeAt(index);
}
