#pragma once

#include <QString>
#include <QStringList>

#include "ini/StructureConfig.h"

#include <map>
#include <string>

class QSettings;

namespace kestrel {

/// The user's settings: the three 3D device choices and the recent-file list, kept in a
/// QSettings store (organisation "Kestrel", application "Kestrel" in the program; a file in
/// tests). A device choice is on exactly when its stored value is the integer 1, so a stored 2
/// or a text counts as off; an absent value takes its default.
class AppSettings
{
public:
    static constexpr int MaxRecentFiles = 4;

    /// The store must outlive this object.
    explicit AppSettings(QSettings& store);

    /// Reads every value once (start-up); later changes are written at once.
    void Load();

    bool UseOpenGL() const { return m_useOpenGL; }
    bool Textures() const { return m_textures; }
    bool AlphaBlending() const { return m_alphaBlending; }
    void SetUseOpenGL(bool on);
    void SetTextures(bool on);
    void SetAlphaBlending(bool on);

    /// Whether this build has a Direct3D 9 device. Without one, previews use OpenGL whatever
    /// UseOpenGL says, and the stored value is kept for a build that has it.
    static bool HasDirect3D9();
    bool DeviceIsOpenGL() const { return m_useOpenGL || !HasDirect3D9(); }

    /// Installation folders the user gave for games this system has no record of, by game
    /// (group "InstallPaths", keys "Generals", "ZeroHour", "BFME").
    std::map<GameKind, std::string> InstallPaths() const;

    /// Most recent first, at most MaxRecentFiles.
    const QStringList& RecentFiles() const { return m_recentFiles; }
    void AddRecentFile(const QString& path);
    void RemoveRecentFile(const QString& path);

    /// The entry list's column width the user chose last (group "EntryList"); 0 when none.
    int ColumnWidth(int column) const;
    void SetColumnWidth(int column, int width);

private:
    bool ReadFlag(const QString& key, bool defaultOn) const;
    void WriteFlag(const QString& key, bool on);
    void WriteRecentFiles();

    QSettings& m_store;
    bool m_useOpenGL = false;
    bool m_textures = true;
    bool m_alphaBlending = true;
    QStringList m_recentFiles;
};

} // namespace kestrel
