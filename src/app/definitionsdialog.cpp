#include "definitionsdialog.h"

#include "db/dataset.h"
#include "db/dberror.h"
#include "ui/messages.h"
#include "ui/session.h"

#include <QAction>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace mizro::app {

namespace {

struct FieldSpec {
    const char *column;
    const char *label; // empty: beside the name
};

const FieldSpec Fields[] = {
    {"KURUM", "Belediye Adı"},
    {"VER", ""},
    {"ILADI", "İli"},
    {"ILCE", "İlçesi"},
    {"CYIL", "Çalışma Yılı"},
    {"BASKAN", "Belediye Başkanı"},
    {"BASYRD", "Başkan Yardımcısı"},
};

const QString Columns = QStringLiteral(
    "KURUM, BASKAN, BASYRD, CYIL, YAZDUR, VER, UDUR, ILADI, ILCE, ONIZ, EMAIL, GDUR, BELDE");

} // namespace

DefinitionsDialog::DefinitionsDialog(ui::Session &session, QWidget *parent)
    : ButtonCloseDialog(parent), m_session(session),
      m_record(std::make_unique<db::DataSet>(session.database())), m_printer(new QComboBox(this)),
      m_bar(new QWidget(this)), m_save(new QPushButton(QStringLiteral("F5-Kayıt"), m_bar)),
      m_cancel(new QPushButton(QStringLiteral("ESC-İptal"), m_bar))
{
    setObjectName(QStringLiteral("TFRMGENTAN"));
    setWindowTitle(QStringLiteral("GENEL TANIMLAR"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    resize(560, 330);

    // One row; the upgrade steps and this dialog address it without a key.
    QString params = Columns;
    params.replace(QStringLiteral(", "), QStringLiteral(", :"));
    QStringList sets;
    for (const QString &c : Columns.split(QStringLiteral(", ")))
        sets << QStringLiteral("  %1 = :%1").arg(c);
    m_record->setSelectSql(QStringLiteral("SELECT * FROM TANIM"));
    m_record->setInsertSql(
        QStringLiteral("insert into TANIM\n  (%1)\nvalues\n  (:%2)").arg(Columns, params));
    m_record->setUpdateSql(QStringLiteral("update TANIM\nset\n") +
                           sets.join(QStringLiteral(",\n")));
    m_record->setTable(QStringLiteral("TANIM"), {});

    auto *tabs = new QTabWidget(this);
    auto *page = new QWidget(tabs);
    tabs->addTab(page, QStringLiteral("Genel Tanımlar"));
    auto *form = new QFormLayout(page);
    for (const FieldSpec &f : Fields) {
        auto *edit = new QLineEdit(page);
        const QString column = QString::fromLatin1(f.column);
        edit->setObjectName(QStringLiteral("DB") + column);
        m_fields.insert(column, edit);
        connect(edit, &QLineEdit::textEdited, this,
                [this, column](const QString &text) { m_record->setValue(column, text); });
    }
    m_fields[QStringLiteral("VER")]->setReadOnly(true);
    m_fields[QStringLiteral("VER")]->setMaximumWidth(90);
    auto *nameRow = new QHBoxLayout;
    nameRow->addWidget(m_fields[QStringLiteral("KURUM")], 1);
    nameRow->addWidget(m_fields[QStringLiteral("VER")]);
    form->addRow(QStringLiteral("Belediye Adı"), nameRow);
    for (const FieldSpec &f : Fields) {
        if (*f.label && QLatin1String(f.column) != QLatin1String("KURUM")) {
            form->addRow(QString::fromUtf8(f.label), m_fields[QString::fromLatin1(f.column)]);
            if (QLatin1String(f.column) == QLatin1String("CYIL"))
                form->addRow(QStringLiteral("Yazıcı Çıktı Türü"), m_printer);
        }
    }
    m_printer->setObjectName(QStringLiteral("DBYAZDUR"));
    m_printer->setEditable(true);
    m_printer->addItems({QStringLiteral("Düz"), QStringLiteral("Form")});
    connect(m_printer, &QComboBox::currentTextChanged, this, [this](const QString &text) {
        if (!m_filling)
            m_record->setValue(QStringLiteral("YAZDUR"),
                               text.isEmpty() ? QVariant() : QVariant(text.left(1)));
    });

    m_bar->setObjectName(QStringLiteral("Panel3"));
    m_bar->installEventFilter(this);
    auto *barLayout = new QHBoxLayout(m_bar);
    barLayout->addStretch(1);
    barLayout->addWidget(m_save);
    barLayout->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs, 1);
    layout->addWidget(m_bar);
    m_save->setAutoDefault(false);
    m_cancel->setAutoDefault(false);
    connect(m_save, &QPushButton::clicked, this, &DefinitionsDialog::save);
    connect(m_cancel, &QPushButton::clicked, this, &DefinitionsDialog::cancel);
    auto *saveKey = new QAction(this);
    saveKey->setShortcut(Qt::Key_F5);
    connect(saveKey, &QAction::triggered, this, &DefinitionsDialog::save);
    addAction(saveKey);
}

DefinitionsDialog::~DefinitionsDialog() = default;

QString DefinitionsDialog::printerTypeText(const QString &stored)
{
    if (stored == QStringLiteral("D"))
        return QStringLiteral("Düz");
    if (stored == QStringLiteral("F"))
        return QStringLiteral("Form");
    return stored;
}

void DefinitionsDialog::showEvent(QShowEvent *event)
{
    ButtonCloseDialog::showEvent(event);
    try {
        m_record->open();
        if (m_record->isEmpty())
            m_record->append();
        else
            m_record->edit();
    } catch (const db::DbError &e) {
        m_session.messages().error(this, e);
    }
    m_filling = true;
    for (auto it = m_fields.cbegin(); it != m_fields.cend(); ++it) {
        // No more characters than the column holds, as the file says.
        const int length = m_record->fieldLength(it.key());
        it.value()->setMaxLength(length > 0 ? length : 32767);
        it.value()->setText(m_record->value(it.key()).toString());
    }
    m_printer->setCurrentText(
        printerTypeText(m_record->value(QStringLiteral("YAZDUR")).toString()));
    m_filling = false;
    m_fields[QStringLiteral("KURUM")]->setFocus();
}

bool DefinitionsDialog::store()
{
    if (!m_record->isEditing())
        return true;
    if (m_record->post())
        return true;
    // The dialog stays open with the row still in edit.
    m_session.messages().error(this, m_record->lastError(), m_record->lastErrorDetails());
    return false;
}

void DefinitionsDialog::save()
{
    if (store())
        closeWithPermission();
}

void DefinitionsDialog::barClicked()
{
    save();
}

void DefinitionsDialog::cancel()
{
    closeWithPermission();
}

bool DefinitionsDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_bar && event->type() == QEvent::MouseButtonRelease) {
        barClicked();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void DefinitionsDialog::closeWithPermission()
{
    // Closing drops whatever was not stored.
    m_record->cancel();
    m_record->close();
    closeThroughButton(QDialog::Accepted);
}

} // namespace mizro::app
