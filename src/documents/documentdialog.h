#pragma once

#include "ui/buttonclosedialog.h"

#include <QByteArray>

class QHBoxLayout;
class QPushButton;
class QVBoxLayout;

namespace mizro::ui {
class Session;
}

namespace mizro::documents {

class DocumentContainer;

/// A modal screen around one document container with "F5-Kayıt" and
/// "F6-Vazgeç" (the keys through hidden entries). Opening creates a blank
/// document, loads the stored one and shows it; saving runs the storing
/// routine and hands the value to the screen; leaving closes the document.
class DocumentDialog : public ui::ButtonCloseDialog {
    Q_OBJECT
public:
    DocumentContainer *container() const { return m_container; }
    QPushButton *saveButton() const { return m_save; }
    QPushButton *cancelButton() const { return m_cancel; }

    /// "F5-Kayıt". False when nothing was stored (the window stays open).
    bool save();
    /// "F6-Vazgeç": nothing is taken from the container.
    void cancel();

protected:
    DocumentDialog(ui::Session &session, QWidget *parent);

    /// CreateObject, the loading routine on the stored value, DoVerb -1.
    /// The value is what a later save compares the database with.
    void openDocument(const QByteArray &stored);
    /// The loading routine then DoVerb -1, as the template choice runs it.
    void loadAndShow(const QByteArray &value);
    /// DoVerb -1; an empty container says so.
    bool showDocument(bool quiet = false);
    const QByteArray &asRead() const { return m_asRead; }
    /// The value now stored, after a write that went through.
    void setAsRead(const QByteArray &value) { m_asRead = value; }
    /// Writes the saved value; false after telling the clerk why.
    virtual bool store(const QByteArray &value) = 0;

    QVBoxLayout *headerArea() const { return m_body; }
    QHBoxLayout *buttons() const { return m_buttons; }

    ui::Session &m_session;

private:
    void leave(int result);

    DocumentContainer *m_container;
    QPushButton *m_save;
    QPushButton *m_cancel;
    QVBoxLayout *m_body;
    QHBoxLayout *m_buttons;
    QByteArray m_asRead;
    bool m_legacy = false;
};

} // namespace mizro::documents
