#include "spinedialog.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "casepages.h"
#include "coverdocument.h"

namespace {

QDialogButtonBox *okCancel(QDialog *d)
{
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, d);
    QObject::connect(buttons, &QDialogButtonBox::accepted, d, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, d, &QDialog::reject);
    return buttons;
}

} // namespace

SpineDialog::SpineDialog(QWidget *parent, const CoverDocument &doc)
    : QDialog(parent), doc_(std::make_unique<CoverDocument>(doc))
{
    setObjectName(QStringLiteral("SpineDialog"));
    setWindowTitle(QStringLiteral("Spine"));
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(QStringLiteral("Text on both spines (empty: the headlines):"), this);
    layout->addWidget(label);
    text_ = new QLineEdit(doc.caseSet.spineText, this);
    text_->setObjectName(QStringLiteral("SpineText"));
    // The headlines as they would show: a placeholder is plain text.
    text_->setPlaceholderText(casepages::HeadlinesLine(doc));
    text_->setMinimumWidth(320);
    label->setBuddy(text_);
    layout->addWidget(text_);
    note_ = new QLabel(this);
    note_->setObjectName(QStringLiteral("SpineNote"));
    note_->setTextFormat(Qt::PlainText);
    note_->setWordWrap(true);
    layout->addWidget(note_);
    down_ = new QRadioButton(QStringLiteral("Hinge side top to bottom, the other bottom to top"), this);
    down_->setObjectName(QStringLiteral("SpineDown"));
    up_ = new QRadioButton(QStringLiteral("Hinge side bottom to top, the other top to bottom"), this);
    up_->setObjectName(QStringLiteral("SpineUp"));
    (doc.caseSet.spineUpward ? up_ : down_)->setChecked(true);
    layout->addWidget(down_);
    layout->addWidget(up_);
    layout->addWidget(okCancel(this));
    connect(text_, &QLineEdit::textChanged, this, &SpineDialog::checkFit);
    checkFit();
}

SpineDialog::~SpineDialog() = default;

void SpineDialog::checkFit()
{
    QString note;
    // A text the design would refuse says why; one it keeps, whether the spine holds it whole.
    if (doc_->setSpineText(text_->text(), &note))
        note = casepages::SpineCutNote(*doc_);
    note_->setText(note);
    note_->setVisible(!note.isEmpty());
}

QString SpineDialog::text() const
{
    return text_->text();
}

bool SpineDialog::upward() const
{
    return up_->isChecked();
}

DiscDialog::DiscDialog(QWidget *parent, double diameter, double hole) : QDialog(parent)
{
    setObjectName(QStringLiteral("DiscDialog"));
    setWindowTitle(QStringLiteral("Disc Face"));
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    const auto box = [this](const char *name, double low, double high, double value) {
        auto *b = new QDoubleSpinBox(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setRange(low, high);
        b->setDecimals(1);
        b->setSingleStep(0.5);
        b->setSuffix(QStringLiteral(" mm"));
        b->setValue(value);
        return b;
    };
    diameter_ = box("DiscDiameter", CoverDocument::MinDiscDiameter, CoverDocument::MaxDiscDiameter, diameter);
    hole_ = box("DiscHole", CoverDocument::MinDiscHole, CoverDocument::MaxDiscHole, hole);
    form->addRow(QStringLiteral("Disc diameter:"), diameter_);
    form->addRow(QStringLiteral("Hole diameter:"), hole_);
    layout->addLayout(form);
    layout->addWidget(okCancel(this));
}

double DiscDialog::diameter() const
{
    return diameter_->value();
}

double DiscDialog::hole() const
{
    return hole_->value();
}
