#pragma once

#include "documents/templateddialog.h"

#include <functional>
#include <memory>

class QComboBox;
class QLineEdit;
class QPagedPaintDevice;

namespace mizro::db {
class DataSet;
}

namespace mizro::ui {
class DialogRunner;
class FieldBinder;
} // namespace mizro::ui

namespace mizro::reg {

class DecisionRules;

/// TFRMENCKAR / TFRMMECKAR: one decision of the classic decision list, its
/// fields and its document. A new decision is numbered here; the save posts
/// the row and stores its document as one command.
class ClassicEditor : public documents::TemplatedDialog {
    Q_OBJECT
public:
    enum class Mode { New = 1, Current = 2 };
    struct Source {
        /// The list's rules (classic), open on the meeting's decisions. For a
        /// current decision, its current row; for a new council decision,
        /// the row the list appended with its KAYNO.
        DecisionRules *decisions = nullptr;
        /// The meeting register's meetings, the meeting current (KAYNO,
        /// OTRNO, TARIH, SAAT).
        const db::DataSet *meeting = nullptr;
        /// The meeting's attendance (ADSOY, UNVANI), or null.
        const db::DataSet *attendance = nullptr;
    };
    /// Modal. True when the clerk saved (the row is posted and its document stored);
    /// otherwise the row's pending changes are dropped (a new row disappears).
    static bool edit(ui::Session &, ui::DialogRunner &, const ui::Body &, const Source &, Mode,
                     QWidget *parent);

    /// Where "F7-Yazdır" prints; null when there is nowhere to print.
    using Printer = std::function<std::unique_ptr<QPagedPaintDevice>()>;

    ClassicEditor(ui::Session &session, const ui::Body &body, const Source &source, Mode mode,
                  QWidget *parent = nullptr);
    ~ClassicEditor() override;

    /// The opening of the mode: a new decision appended (committee) and
    /// numbered, or the current one into editing with its document. False
    /// (after a message) when the decision cannot be opened.
    bool prepare();
    /// "F7-Yazdır": the document on the printer, without a dialog.
    void print();
    /// The system's default printer unless a test hands another device.
    void setPrinter(Printer printer) { m_printer = std::move(printer); }
    static std::unique_ptr<QPagedPaintDevice> defaultPrinter();

    void textFormat() override;

    QPushButton *printButton() const { return m_print; }
    QLineEdit *numberEdit() const { return m_number; }
    QLineEdit *orderEdit() const { return m_order; }
    QLineEdit *summaryEdit() const { return m_summary; }
    QComboBox *kindBox() const { return m_kind; }
    QComboBox *departmentBox() const { return m_department; }

protected:
    bool store(const QByteArray &value) override;
    void editRow() override;

private:
    db::DataSet &row() const;
    QVariant meetingValue(const QString &field) const;
    QWidget *buildFields();
    /// The checks of the save in their order; false after the message.
    bool checked();
    /// Posts the row and writes its document in one command.
    bool write(const QByteArray &value);
    void showNotices();

    Source m_source;
    Mode m_mode;
    Printer m_printer;
    ui::FieldBinder *m_fields;
    QPushButton *m_print;
    QLineEdit *m_number = nullptr;
    QLineEdit *m_order = nullptr;
    QLineEdit *m_summary = nullptr;
    QComboBox *m_kind = nullptr;
    QComboBox *m_department = nullptr;
};

} // namespace mizro::reg
