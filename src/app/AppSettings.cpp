#include "app/AppSettings.h"

#include <QDir>
#include <QFile>
#include <QSettings>

#include <algorithm>

namespace kestrel {
namespace {

QString UseOpenGLKey()
{
    return QStringLiteral("Device/UseOpenGL");
}
QString TexturesKey()
{
    return QStringLiteral("Device/Textures");
}
QString AlphaBlendingKey()
{
    return QStringLiteral("Device/AlphaBlending");
}
QString RecentFileKey(int number)
{
    return QStringLiteral("Recent File List/File%1").arg(number);
}

bool SamePath(const QString& a, const QString& b)
{
    return QDir::cleanPath(a) == QDir::cleanPath(b);
}

} // namespace

AppSettings::AppSettings(QSettings& store) : m_store(store) {}

void AppSettings::Load()
{
    m_useOpenGL = ReadFlag(UseOpenGLKey(), false);
    m_textures = ReadFlag(TexturesKey(), true);
    m_alphaBlending = ReadFlag(AlphaBlendingKey(), true);
    m_recentFiles.clear();
    for (int number = 1; number <= MaxRecentFiles; ++number) {
        const QString path = m_store.value(RecentFileKey(number)).toString();
        if (!path.isEmpty())
            m_recentFiles.append(path);
    }
}

bool AppSettings::ReadFlag(const QString& key, bool defaultOn) const
{
    if (!m_store.contains(key))
        return defaultOn;
    bool isNumber = false;
    const int value = m_store.value(key).toInt(&isNumber);
    return isNumber && value == 1;
}

void AppSettings::WriteFlag(const QString& key, bool on)
{
    m_store.setValue(key, on ? 1 : 0);
    m_store.sync();
}

void AppSettings::SetUseOpenGL(bool on)
{
    m_useOpenGL = on;
    WriteFlag(UseOpenGLKey(), on);
}

void AppSettings::SetTextures(bool on)
{
    m_textures = on;
    WriteFlag(TexturesKey(), on);
}

void AppSettings::SetAlphaBlending(bool on)
{
    m_alphaBlending = on;
    WriteFlag(AlphaBlendingKey(), on);
}

std::map<GameKind, std::string> AppSettings::InstallPaths() const
{
    std::map<GameKind, std::string> paths;
    for (GameKind game : {GameKind::Generals, GameKind::ZeroHour, GameKind::BFME}) {
        const std::string_view name = GameBlockName(game);
        const QString key = QStringLiteral("InstallPaths/") + QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
        const QString path = m_store.value(key).toString();
        if (!path.isEmpty())
            paths[game] = QFile::encodeName(path).toStdString();
    }
    return paths;
}

bool AppSettings::HasDirect3D9()
{
    // The Direct3D 9 device exists only in Windows builds.
#ifdef _WIN32
    return true;
#else
    return false;
#endif
}

namespace {

QString ColumnWidthKey(int column)
{
    return QStringLiteral("EntryList/ColumnWidth%1").arg(column);
}

} // namespace

int AppSettings::ColumnWidth(int column) const
{
    return std::max(0, m_store.value(ColumnWidthKey(column)).toInt());
}

void AppSettings::SetColumnWidth(int column, int width)
{
    m_store.setValue(ColumnWidthKey(column), width);
}

void AppSettings::AddRecentFile(const QString& path)
{
    m_recentFiles.removeIf([&](const QString& known) { return SamePath(known, path); });
    m_recentFiles.prepend(path);
    while (m_recentFiles.size() > MaxRecentFiles)
        m_recentFiles.removeLast();
    WriteRecentFiles();
}

void AppSettings::RemoveRecentFile(const QString& path)
{
    m_recentFiles.removeIf([&](const QString& known) { return SamePath(known, path); });
    WriteRecentFiles();
}

void AppSettings::WriteRecentFiles()
{
    for (int number = 1; number <= MaxRecentFiles; ++number) {
        if (number <= m_recentFiles.size())
            m_store.setValue(RecentFileKey(number), m_recentFiles[number - 1]);
        else
            m_store.remove(RecentFileKey(number));
    }
    m_store.sync();
}

} // namespace kestrel
