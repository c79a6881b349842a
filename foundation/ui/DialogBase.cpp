#include "foundation/ui/DialogBase.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>

#include "foundation/NumberFormat.h"
#include "foundation/PrivateProfile.h"
#include "foundation/WindowPlacement.h"
#include "foundation/ui/NumberBox.h"

namespace {

const char* const kTop = "Top";
const char* const kLeft = "Left";
const char* const kWidth = "Width";
const char* const kHeight = "Height";

}  // namespace

DialogBase::DialogBase(QWidget* parent) : QDialog(parent) {}

void DialogBase::setPositionStore(const std::string& iniPath, const std::string& section,
                                  bool keepSize) {
    m_iniPath = iniPath;
    m_section = section;
    m_keepSize = keepSize;
}

void DialogBase::setDialogButtons(QPushButton* ok, QPushButton* cancel, QPushButton* help) {
    m_ok = ok;
    m_cancel = cancel;
    m_help = help;
    if (m_ok) {
        m_ok->setDefault(true);
        connect(m_ok, &QPushButton::clicked, this, &DialogBase::okClicked);
    }
    if (m_cancel) {
        // Moving to Cancel runs no leave check, so a dialog can always be cancelled.
        m_cancel->setProperty("causesValidation", false);
        connect(m_cancel, &QPushButton::clicked, this, &DialogBase::cancelClicked);
    }
    if (m_help) connect(m_help, &QPushButton::clicked, this, &DialogBase::helpClicked);
}

void DialogBase::runLoadStep() {
    if (m_loaded) return;
    m_loaded = true;
    if (!UsrCaption.isEmpty()) setWindowTitle(UsrCaption);
    restorePosition();
    if (m_help && UsrHelpFile.isEmpty()) {
        if (m_hideHelp) {
            m_help->hide();
        } else {
            m_help->setEnabled(false);
        }
    }
    prepareForm();
    emit LoadData();
    afterLoadData();
}

void DialogBase::showEvent(QShowEvent* event) {
    runLoadStep();
    QDialog::showEvent(event);
}

void DialogBase::done(int result) {
    if (m_loaded) storePosition();
    QDialog::done(result);
}

void DialogBase::keyPressEvent(QKeyEvent* event) {
    // F1 opens help; without a help viewer it is taken and nothing happens.
    if (event->key() == Qt::Key_F1) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool DialogBase::validateInputs() {
    QWidget* w = this;
    while ((w = w->nextInFocusChain()) != this && w != nullptr) {
        auto* box = qobject_cast<NumberBox*>(w);
        if (box == nullptr || !box->isEnabled() || !box->isVisibleTo(this)) continue;
        if (!box->validateNow()) return false;
    }
    return true;
}

void DialogBase::okClicked() {
    if (!validateInputs()) return;
    bool cancel = false;
    emit SaveData(cancel);
    UsrTag = QStringLiteral("OK");
    if (!cancel) accept();
}

void DialogBase::cancelClicked() {
    UsrTag = QStringLiteral("ｷｬﾝｾﾙ");
    reject();
}

void DialogBase::helpClicked() {
    QCoreApplication::postEvent(this, new QKeyEvent(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier));
    QCoreApplication::postEvent(this,
                                new QKeyEvent(QEvent::KeyRelease, Qt::Key_F1, Qt::NoModifier));
}

void DialogBase::restorePosition() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const double dpiX = screen->logicalDotsPerInchX();
    const double dpiY = screen->logicalDotsPerInchY();
    const bool stored = !m_section.empty();
    const CPrivateProfile profile;
    auto read = [&](const char* key) -> std::int32_t {
        return stored ? profile.GetValueLong(m_iniPath, m_section, key) : 0;
    };
    // One geometry throughout: the contents' rectangle, which every platform reports the
    // same way before and after the window manager adds its frame.
    QRect contents = geometry();
    const auto place = m_centreBeyondScreen ? PlaceMainWindowOnAxis : PlaceOnAxis;
    const std::int32_t top = place(read(kTop), PixelsToTwips(screen->geometry().height(), dpiY),
                                   PixelsToTwips(contents.height(), dpiY));
    const std::int32_t left = place(read(kLeft), PixelsToTwips(screen->geometry().width(), dpiX),
                                    PixelsToTwips(contents.width(), dpiX));
    contents.moveTopLeft(QPoint(TwipsToPixels(left, dpiX), TwipsToPixels(top, dpiY)));
    if (stored && m_keepSize) {
        const std::int32_t width = read(kWidth);
        const std::int32_t height = read(kHeight);
        if (width > 0) contents.setWidth(TwipsToPixels(width, dpiX));
        if (height > 0) contents.setHeight(TwipsToPixels(height, dpiY));
    }
    setGeometry(contents);
}

void DialogBase::storePosition() {
    if (m_section.empty()) return;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const double dpiX = screen->logicalDotsPerInchX();
    const double dpiY = screen->logicalDotsPerInchY();
    const CPrivateProfile profile;
    auto write = [&](const char* key, std::int32_t twips) {
        profile.SetValueString(m_iniPath, m_section, key,
                               FormatGeneralNumber(static_cast<double>(twips)));
    };
    const QRect contents = geometry();
    write(kTop, PixelsToTwips(contents.top(), dpiY));
    write(kLeft, PixelsToTwips(contents.left(), dpiX));
    if (m_keepSize) {
        write(kWidth, PixelsToTwips(contents.width(), dpiX));
        write(kHeight, PixelsToTwips(contents.height(), dpiY));
    }
}
