#pragma once

#include <QMdiArea>

namespace mizro::app {

/// The frame's client area: the municipality's name above a fixed title line,
/// drawn behind the child windows.
class MdiBackdrop : public QMdiArea {
    Q_OBJECT
public:
    explicit MdiBackdrop(QWidget *parent = nullptr);

    const QString &kurum() const { return m_kurum; }
    void setKurum(const QString &kurum);
    static QString titleLine() { return QStringLiteral("Encümen ve Meclis Karar Kayıt Sistemi"); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_kurum;
};

} // namespace mizro::app
