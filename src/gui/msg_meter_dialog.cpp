#include "gui/msg_meter_dialog.h"

#include <QVBoxLayout>
#include <algorithm>

#include "gui/qt_text.h"

namespace klango::gui {

class MsgMeterDialog::View : public ui::Meter {
public:
    explicit View(MsgMeterDialog& dialog) : m_dialog(dialog) {}

protected:
    void changed() override { m_dialog.update(*this); }

private:
    MsgMeterDialog& m_dialog;
};

MsgMeterDialog::MsgMeterDialog(const QString& title, const QString& text, std::function<void()> processEvents,
                               QWidget* parent)
    : QDialog(parent), m_processEvents(std::move(processEvents)) {
    setObjectName(QStringLiteral("msgMeter"));
    setWindowTitle(title);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowCloseButtonHint, false);
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    m_text = new QLabel(text, this);
    m_text->setMinimumWidth(280);
    m_bar = new QProgressBar(this);
    m_bar->setTextVisible(false);
    layout->addWidget(m_text);
    layout->addWidget(m_bar);
    adjustSize();
}

void MsgMeterDialog::update(const ui::Meter& meter) {
    m_text->setText(toQ(meter.text()));
    const long total = meter.total();
    // QProgressBar takes int; very large totals are scaled to keep the proportion.
    const long scale = total > 1000000 ? total / 1000000 + 1 : 1;
    m_bar->setRange(0, int(total / scale));
    m_bar->setValue(int(std::min(std::max(meter.position(), 0L), total) / scale));
    if (onUpdated) onUpdated(*this);
    if (m_processEvents) m_processEvents();
}

void MsgMeterDialog::run(const ui::MeterAction& action) {
    View meter(*this);
    meter.setText(fromQ(m_text->text()));
    show();
    if (m_processEvents) m_processEvents();
    if (action) action(meter);
    meter.stop() = true;
    hide();
}

}  // namespace klango::gui
