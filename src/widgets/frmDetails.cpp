#include "widgets/frmDetails.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tess::widgets {

frmDetails::frmDetails(QWidget* parent) : QDialog(parent) {
    setObjectName("frmDetails");
    setWindowTitle("Details");
    txtDetails_ = new QPlainTextEdit(this);
    txtDetails_->setObjectName("txtDetails");
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("OKButton");
    ok->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(txtDetails_);
    layout->addWidget(ok, 0, Qt::AlignRight);
    resize(360, 240);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void frmDetails::setMessage(const QString& message) {
    // The database keeps CR LF line breaks; the text box wants plain newlines.
    txtDetails_->setPlainText(QString(message).replace("\r\n", "\n"));
}

QString frmDetails::message() const { return txtDetails_->toPlainText(); }

}  // namespace tess::widgets
