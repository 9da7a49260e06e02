#include "camera/VideoSourceDlg.h"

#include "camera/DialogText.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShowEvent>
#include <QSlider>
#include <QVBoxLayout>

namespace orvix {

namespace {

constexpr const char* kIdProperty = "controlId";

int snapped(const CameraControl& c, int v)
{
    const int step = std::max(1, c.step);
    const qint64 k = (qint64(v) - c.minimum + step / 2) / step;
    return int(std::clamp<qint64>(c.minimum + k * step, c.minimum, c.maximum));
}

} // namespace

TVideoSourceDlg::TVideoSourceDlg(ICameraControls& controls, QWidget* parent)
    : QDialog(parent), m_controls(controls)
{
    setObjectName(QStringLiteral("VideoSourceDlg"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);

    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    m_initial = m_controls.controls();
    int row = 0;
    for (const CameraControl& c : m_initial) {
        auto* label = new QLabel(c.name, page);
        grid->addWidget(label, row, 0);
        QWidget* w = nullptr;
        const quint32 id = c.id;
        switch (c.type) {
        case CameraControlType::Integer: {
            auto* slider = new QSlider(Qt::Horizontal, page);
            slider->setRange(c.minimum, c.maximum);
            slider->setSingleStep(std::max(1, c.step));
            slider->setPageStep(std::max(std::max(1, c.step), (c.maximum - c.minimum) / 10));
            slider->setMinimumWidth(200);
            auto* value = new QLabel(page);
            value->setMinimumWidth(48);
            value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_values[id] = value;
            grid->addWidget(value, row, 2);
            connect(slider, &QSlider::valueChanged, this, [this, c](int v) {
                const int s = snapped(c, v);
                if (QLabel* l = m_values[c.id])
                    l->setText(QString::number(s));
                apply(c.id, s);
            });
            w = slider;
            break;
        }
        case CameraControlType::Boolean: {
            auto* box = new QCheckBox(page);
            connect(box, &QCheckBox::toggled, this, [this, id](bool on) { apply(id, on ? 1 : 0); });
            w = box;
            break;
        }
        case CameraControlType::Menu: {
            auto* combo = new QComboBox(page);
            for (const CameraControlMenuItem& item : c.menu)
                combo->addItem(item.name, item.value);
            connect(combo, &QComboBox::currentIndexChanged, this, [this, id, combo](int i) {
                if (i >= 0)
                    apply(id, combo->itemData(i).toInt());
            });
            w = combo;
            break;
        }
        case CameraControlType::Button: {
            auto* button = new QPushButton(c.name, page);
            label->clear();
            connect(button, &QPushButton::clicked, this, [this, id] { apply(id, 1); });
            w = button;
            break;
        }
        }
        w->setProperty(kIdProperty, id);
        w->setObjectName(c.name);
        grid->addWidget(w, row, 1);
        m_widgets[id] = w;
        ++row;
    }
    grid->setRowStretch(row, 1);

    auto* scroll = new QScrollArea(this);
    scroll->setWidget(page);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);

    OKBtn = new QPushButton(this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &TVideoSourceDlg::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll, 1);
    layout->addLayout(buttons);
    resize(440, std::clamp(80 + row * 34, 160, 520));

    refresh();
    SourceDlg_InfoSet();
}

void TVideoSourceDlg::SourceDlg_InfoSet()
{
    setFont(QApplication::font());
    setWindowTitle(cameraDialogText("SourceTitle_Dlg", "Video Source"));
    OKBtn->setText(texts().DialogButtonData[QStringLiteral("OKBtn_Dlg")]);
    CancelBtn->setText(texts().DialogButtonData[QStringLiteral("CancelBtn_Dlg")]);
}

QWidget* TVideoSourceDlg::controlWidget(quint32 id) const
{
    auto it = m_widgets.find(id);
    return it == m_widgets.end() ? nullptr : it->second;
}

void TVideoSourceDlg::refresh()
{
    m_updating = true;
    for (const CameraControl& c : m_controls.controls()) {
        QWidget* w = controlWidget(c.id);
        if (!w)
            continue;
        w->setEnabled(!c.inactive && !c.readOnly);
        if (auto* slider = qobject_cast<QSlider*>(w)) {
            slider->setValue(c.value);
            if (QLabel* l = m_values[c.id])
                l->setText(QString::number(c.value));
        } else if (auto* box = qobject_cast<QCheckBox*>(w)) {
            box->setChecked(c.value != 0);
        } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
            combo->setCurrentIndex(combo->findData(c.value));
        }
    }
    m_updating = false;
}

void TVideoSourceDlg::apply(quint32 id, int value)
{
    if (m_updating)
        return;
    m_controls.set(id, value);
    // One control can rule others (an automatic mode); show what the device holds now.
    refresh();
}

void TVideoSourceDlg::reject()
{
    // Back to what the device had when the dialog opened; automatic modes first, so the
    // values they rule can be written again.
    for (int pass = 0; pass < 2; ++pass)
        for (const CameraControl& c : m_initial) {
            if (c.type == CameraControlType::Button || c.readOnly)
                continue;
            int now = 0;
            if (m_controls.get(c.id, &now) && now != c.value)
                m_controls.set(c.id, c.value);
        }
    refresh();
    QDialog::reject();
}

void TVideoSourceDlg::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        SourceDlg_InfoSet();
        refresh();
        if (QScreen* s = QApplication::primaryScreen()) {
            const QRect g = s->availableGeometry();
            move(g.x() + (g.width() - frameGeometry().width()) / 2,
                 g.y() + (g.height() - frameGeometry().height()) / 2);
        }
    }
    QDialog::showEvent(event);
}

} // namespace orvix
