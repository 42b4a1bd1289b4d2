#include "gui/import_dialog_view.h"

#include <QFrame>
#include <algorithm>

#include "trackdb/import_dialog_model.h"
#include "ui/color_string.h"
#include "gui/artwork.h"
#include "gui/dialog_style.h"
#include "gui/qt_text.h"
#include "gui/qt_ui.h"

namespace klango::gui {

namespace {

constexpr int kPictureSide = 48;

QLabel* makeField(QWidget* parent, const trackdb::ImportDialogModel& model, const char* name) {
    auto* field = new QLabel(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    field->setAutoFillBackground(true);
    // A long path must not widen the dialog; the field shows what fits.
    field->setTextFormat(Qt::PlainText);
    field->setWordWrap(false);
    field->setMinimumWidth(1);
    QPalette p = field->palette();
    p.setColor(QPalette::WindowText, toQColor(ui::rgbFromNumber(model.fieldForeground)));
    p.setColor(QPalette::Window, toQColor(ui::rgbFromNumber(model.fieldBackground)));
    field->setPalette(p);
    return field;
}

}  // namespace

ImportDialogView::ImportDialogView(trackdb::ImportDialogModel& model, QWidget* parent)
    : QDialog(parent), m_model(model) {
    using M = trackdb::ImportDialogModel;
    setObjectName(QStringLiteral("importDialog"));
    setWindowTitle(toQ(model.title()));
    setWindowFlag(Qt::WindowContextHelpButtonHint, model.hasHelpButton());
    // The import ends the dialog itself; closing it by hand would leave the job running unseen.
    setWindowFlag(Qt::WindowCloseButtonHint, false);
    setWindowIcon(Artwork::icon(toQ(model.icon())));
    setModal(true);
    setFixedSize(M::kWidth, M::kHeight);

    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("importPicture"));
    m_picture->setGeometry(12, 12, kPictureSide, kPictureSide);
    m_picture->setPixmap(Artwork::pixmap(toQ(model.bitmap()), QSize(kPictureSide, kPictureSide)));

    m_intro = new QLabel(toQ(model.introText()), this);
    m_intro->setObjectName(QStringLiteral("importIntro"));
    m_intro->setWordWrap(true);
    m_intro->setGeometry(72, 12, M::kWidth - 84, kPictureSide);

    auto* pathLabel = new QLabel(toQ(model.pathLabel()), this);
    pathLabel->setGeometry(12, 74, 40, 22);
    m_path = makeField(this, model, "importPath");
    m_path->setGeometry(56, 74, M::kWidth - 68, 22);

    auto* fileLabel = new QLabel(toQ(model.fileLabel()), this);
    fileLabel->setGeometry(12, 102, 40, 22);
    m_file = makeField(this, model, "importFile");
    m_file->setGeometry(56, 102, M::kWidth - 68, 22);

    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("importBar"));
    m_bar->setTextVisible(false);
    m_bar->setGeometry(12, 134, M::kWidth - 24, 18);

    m_interrupt = new QPushButton(toQ(model.interruptCaption()), this);
    m_interrupt->setObjectName(QStringLiteral("importInterrupt"));
    m_interrupt->setToolTip(toQ(model.interruptToolTip()));
    m_interrupt->setGeometry((M::kWidth - 110) / 2, 166, 110, 28);
    connect(m_interrupt, &QPushButton::clicked, this, [this] { m_model.interrupt(); });

    m_model.onChanged = [this] { refresh(); };
    refresh();
}

ImportDialogView::~ImportDialogView() { m_model.onChanged = nullptr; }

void ImportDialogView::refresh() {
    m_path->setText(toQ(m_model.path()));
    m_file->setText(toQ(m_model.file()));
    const long total = m_model.total();
    // QProgressBar takes int; very large totals are scaled to keep the proportion.
    const long scale = total > 1000000 ? total / 1000000 + 1 : 1;
    m_bar->setRange(0, int(std::max(total, 1L) / scale));
    m_bar->setValue(int(std::clamp(m_model.position(), 0L, total) / scale));
    // Once pressed, the stop waits for the file being read; a second press has nothing to add.
    m_interrupt->setEnabled(!m_model.interrupted());
}

void ImportDialogView::registerWith(QtUi& ui) {
    ui.registerView<trackdb::ImportDialogModel>([](ui::DialogModel& model, QWidget* parent) {
        return std::unique_ptr<QDialog>(
            new ImportDialogView(static_cast<trackdb::ImportDialogModel&>(model), parent));
    });
}

}  // namespace klango::gui
