#include "ui/controls/single_line.h"

#include <QLineEdit>
#include <QRegularExpression>

void KeepFirstLine(QLineEdit* box) {
    QObject::connect(box, &QLineEdit::textChanged, box, [box](const QString& text) {
        static const QRegularExpression lineEnd(QStringLiteral("[\\r\\n\\x{2028}\\x{2029}]+"));
        if (!text.contains(lineEnd))
            return;
        const QStringList lines = text.split(lineEnd, Qt::SkipEmptyParts);
        box->setText(lines.isEmpty() ? QString() : lines.constFirst());
    });
}

void ShowText(QLineEdit* box, const QString& text) {
    if (box->text() != text)
        box->setText(text);
}
