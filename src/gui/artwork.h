// The program's pictures, looked up by resource name ("KLANGO", "About", "MRed") case-blind in
// the "art" folder beside the program (or in the Qt resources under ":/art"). A picture that is
// not there gives a null pixmap or icon, and the view shows nothing in its place.
// Called by every view on the GUI thread.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <filesystem>

namespace klango::gui {

class Artwork {
public:
    // The folder of the picture files; set once at start.
    static void setFolder(const std::filesystem::path& folder);
    static std::filesystem::path folder();

    // The file of a picture, or an empty string when there is none.
    static QString file(const QString& name);
    static QPixmap pixmap(const QString& name, QSize size);
    static QIcon icon(const QString& name);
};

}  // namespace klango::gui
