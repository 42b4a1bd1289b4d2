#include "gui/artwork.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

#include "platform/file_names.h"

namespace klango::gui {

namespace {

std::filesystem::path& artFolder() {
    static std::filesystem::path folder;
    return folder;
}

}  // namespace

void Artwork::setFolder(const std::filesystem::path& folder) { artFolder() = folder; }
std::filesystem::path Artwork::folder() { return artFolder(); }

QString Artwork::file(const QString& name) {
    const std::string svg = name.toLower().toStdString() + ".svg";
    if (!artFolder().empty()) {
        const std::filesystem::path p = platform::resolveCaseBlind(artFolder(), svg);
        std::error_code ec;
        if (std::filesystem::is_regular_file(p, ec)) return QString::fromStdString(p.string());
    }
    const QString resource = QStringLiteral(":/art/") + QString::fromStdString(svg);
    if (QFile::exists(resource)) return resource;
    return {};
}

QPixmap Artwork::pixmap(const QString& name, QSize size) {
    const QString path = file(name);
    if (path.isEmpty()) return {};
    QSvgRenderer renderer(path);
    if (!renderer.isValid()) return {};
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    QPainter painter(&pm);
    renderer.render(&painter);
    return pm;
}

QIcon Artwork::icon(const QString& name) {
    const QString path = file(name);
    if (path.isEmpty()) return {};
    QIcon icon;
    for (int side : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(pixmap(name, QSize(side, side)));
    return icon;
}

}  // namespace klango::gui
