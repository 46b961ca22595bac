#pragma once

#include <QString>

#include <array>

namespace zorv {

// The sub-folders of "dados" that a new data folder starts with.
inline constexpr std::array<const char *, 4> kDataFolderSkeleton{"Finance", "Notas", "Diary", "Media"};

// Where one program of the suite finds its folders.
struct ProgramPlacement
{
    QString baseDir;         // holds "dados", the hand-off file and every other relative path
    QString deskDir;         // holds zorv-desk
    QString companionDir;    // holds the companions Web and zorvoletps
    bool inUserData = false; // baseDir is the user's own data folder, apart from the programs
};

// What the placement of a running program is decided from.
struct PlacementFacts
{
    QString programDir;             // folder of the running executable
    bool programDirWritable = true; // whether this user may create files in it
    // Where installing puts zorv-desk and the companions: relative to the install prefix
    // ("bin", "libexec/zorv-desk"), or absolute.
    QString installDeskDir;
    QString installCompanionDir;
    QString xdgDataHome; // $XDG_DATA_HOME as found: maybe empty or relative
    QString homeDir;
};

// The folder of the running executable, with or without an application object.
QString runningProgramFolder();

// The facts of the running executable: its folder, the install layout of this build, the
// environment.
PlacementFacts runningPlacementFacts();

// A portable folder (a "dados" beside the executable, in any letter case, or a folder the
// user can write that is not part of an installation, such as the build folder) keeps
// every path beside the executable, and the three programs side by side. An installed
// program keeps its files in the user's own data folder: one whose folder is part of an
// installation under any prefix (zorv-desk in the prefix's programs' folder with the
// companions' folder there too, or a companion in that folder with zorv-desk installed),
// or one in a folder the user cannot write; in both cases only while no "dados" lies
// beside it. An installed program finds zorv-desk and the companions in their install
// folders; in a read-only folder that is no installation, beside it. The user's right to
// write is not what tells an installation: root may write everywhere.
ProgramPlacement choosePlacement(const PlacementFacts &facts);

// choosePlacement(runningPlacementFacts()).
ProgramPlacement runningPlacement();

// "zorv-desk" in the user's data folder: $XDG_DATA_HOME when it is an absolute path (a
// relative one is ignored, as the base-directory rules ask), else ~/.local/share.
QString userDataFolder(const QString &xdgDataHome, const QString &homeDir);

// Lays the skeleton "dados/{Finance,Notas,Diary,Media}" into `baseDir` when it holds no
// "dados" (in any letter case) yet; the folders made are owner-only. An existing data
// folder is left exactly as it is, however incomplete. True when a data folder is there
// afterwards.
bool layDataFolderSkeleton(const QString &baseDir);

// Where the program's files live. Code names data files by their canonical relative
// form, with backslashes and any letter case ("dados\Finance\03.2013.fin",
// "Dados\ma.list"); resolve() turns that into a native path. Each component that
// already exists is matched without regard to letter case, so every spelling reaches
// the same file on a case-sensitive file system; components that do not exist yet keep
// the spelling given.
class Paths
{
public:
    // exeDir: the folder every relative path starts from (the executable's folder of a
    // portable copy); windowsDir: the Windows-directory stand-in; companionDir: the folder
    // of the companion programs, exeDir when empty.
    Paths(const QString &exeDir, const QString &windowsDir, const QString &companionDir = QString());

    // The running program's folders, as runningPlacement() places them, and the per-user
    // Windows-directory stand-in (created when missing, as Windows always has one). An
    // installed program's data folder is laid out at its first start.
    static Paths forApplication();
    static QString defaultWindowsDirectory();

    QString exeDir() const { return m_exeDir; }         // native, ends with '/'
    QString windowsDir() const { return m_windowsDir; } // native, no trailing '/'
    QString dataDir() const { return resolve(QStringLiteral("dados")); }
    QString companionDir() const { return m_companionDir; } // native, ends with '/'
    // Native path of the companion program `name` ("Web").
    QString companionProgram(const QString &name) const;

    // Native path of a name relative to the executable's folder. Returns an empty
    // string for names that would leave that folder ("." or ".." components).
    QString resolve(const QString &relative) const;
    // Native path of a Windows-directory file given as "\MSDoc.dat".
    QString windowsFile(const QString &name) const;

private:
    static QString resolveUnder(const QString &base, const QString &relative);

    QString m_exeDir;
    QString m_windowsDir;
    QString m_companionDir;
};

// The Windows directory: the stand-in folder of the running program, no trailing '/'.
QString WindowsDirectory();

// The longest file name both Windows (UTF-16 units) and Linux file systems (UTF-8 bytes) hold.
constexpr int kMaxFileNameLength = 255;

// True when a name typed by the user (a contact, a file) can be used as one file name
// inside the data folder, on Linux and on Windows alike: not empty, no path separators,
// not "." or "..", none of the characters Windows forbids in file names, no control
// characters, no trailing dot or space, no device name before the first dot ("CON",
// "nul.txt", "COM1", "LPT¹"), at most 255 UTF-16 units and 255 UTF-8 bytes, no unpaired
// surrogate.
bool isSafeFileName(const QString &name);

} // namespace zorv
