#include "shell/infodialog_ui.h"

#include "shell/links.h"
#include "shell/palette.h"
#include "shell/shellstyle.h"

#include <QCoreApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const char textStyle[] = "  padding:4px;\ncolor : @white;\nborder:none;";

QLabel *textLabel(QWidget *parent, const char *name, int minimumHeight)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromUtf8(name));
    label->setMinimumSize(QSize(0, minimumHeight));
    label->setSizeIncrement(QSize(0, 32));
    label->setFont(Palette::font(10, QFont::Bold));
    label->setStyleSheet(Palette::sheet(textStyle));
    return label;
}

QString linkParagraph(const QString &lead, const QString &href, const QString &shown)
{
    // Filled in before the arguments: an address has an '@' of its own.
    return Palette::sheet("<p><span style=\" font-size:9pt;\">%1</span><a href=\"%2\">"
                          "<span style=\" font-size:9pt; text-decoration: underline; "
                          "color:@accent;\">%3</span></a></p>")
        .arg(lead.toHtmlEscaped(), href, shown.toHtmlEscaped());
}

QString contactHtml()
{
    const QString mail = QString::fromUtf8(Links::supportMail);
    const QString site = QString::fromUtf8(Links::website);
    return QStringLiteral("<html><head/><body>") +
           linkParagraph(QCoreApplication::translate("InfoForm", "Visit here for "),
                         QString::fromUtf8(Links::knowledgeBase),
                         QCoreApplication::translate("InfoForm", "Knowledge Database")) +
           linkParagraph(QCoreApplication::translate("InfoForm", "Technical support: "),
                         QStringLiteral("mailto:") + mail, mail) +
           linkParagraph(QCoreApplication::translate("InfoForm", "For more info visit: "), site,
                         site) +
           QStringLiteral("</body></html>");
}

} // namespace

void Ui_InfoForm::setupUi(QDialog *InfoForm)
{
    setupDialog(InfoForm);
    setupTitle(InfoForm);
    setupTexts(InfoForm);
    retranslateUi(InfoForm);
    QMetaObject::connectSlotsByName(InfoForm);
}

void Ui_InfoForm::setupDialog(QDialog *InfoForm)
{
    if (InfoForm->objectName().isEmpty())
        InfoForm->setObjectName(QString::fromUtf8("InfoForm"));
    InfoForm->resize(290, 210);
    InfoForm->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    InfoForm->setMinimumSize(QSize(290, 210));
    InfoForm->setMaximumSize(QSize(290, 210));
    InfoForm->setFont(Palette::font(10, QFont::Normal));
    QIcon icon;
    icon.addFile(QString::fromUtf8(":/images/icon.png"), QSize(), QIcon::Normal, QIcon::Off);
    InfoForm->setWindowIcon(icon);
    InfoForm->setStyleSheet(
        Palette::sheet("background:@dialog;\n   border-radius:2px; \n   border:none;\n\n"));
    verticalLayout_2 = new QVBoxLayout(InfoForm);
    verticalLayout_2->setObjectName(QString::fromUtf8("verticalLayout_2"));
    verticalLayout_2->setContentsMargins(1, 0, 1, 6);
    verticalLayout = new QVBoxLayout();
    verticalLayout->setObjectName(QString::fromUtf8("verticalLayout"));
    verticalLayout_2->addLayout(verticalLayout);
}

void Ui_InfoForm::setupTitle(QDialog *InfoForm)
{
    widget = new QWidget(InfoForm);
    widget->setObjectName(QString::fromUtf8("widget"));
    widget->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    widget->setMinimumSize(QSize(240, 50));
    widget->setStyleSheet(Palette::sheet(
        "\tborder: none; \n\theight:50px;\n\tbackground:@accent;\nborder-style: outset;"));
    horizontalLayout_2 = new QHBoxLayout(widget);
    horizontalLayout_2->setSpacing(0);
    horizontalLayout_2->setObjectName(QString::fromUtf8("horizontalLayout_2"));
    horizontalLayout_2->setContentsMargins(0, 0, 0, 0);

    titleLabel = new QLabel(widget);
    titleLabel->setObjectName(QString::fromUtf8("titleLabel"));
    titleLabel->setFont(Palette::font(13, QFont::Bold));
    titleLabel->setStyleSheet(Palette::sheet("  padding:4px;\ncolor : @white;"));
    horizontalLayout_2->addWidget(titleLabel);

    closeButton = new QPushButton(widget);
    closeButton->setObjectName(QString::fromUtf8("closeButton"));
    closeButton->setStyleSheet(ShellStyle::windowButtonStyleSheet(
        QStringLiteral("closeButton"), QStringLiteral("icon_window_close")));
    horizontalLayout_2->addWidget(closeButton);
    verticalLayout->addWidget(widget);
}

void Ui_InfoForm::setupTexts(QDialog *InfoForm)
{
    versionLabel = textLabel(InfoForm, "versionLabel", 32);
    verticalLayout->addWidget(versionLabel);
    contactLabel = textLabel(InfoForm, "contactLabel", 105);
    contactLabel->setTextFormat(Qt::RichText);
    contactLabel->setOpenExternalLinks(true);
    verticalLayout->addWidget(contactLabel);
}

void Ui_InfoForm::retranslateUi(QDialog *InfoForm)
{
    InfoForm->setWindowTitle(QCoreApplication::translate("InfoForm", "Form"));
    titleLabel->setText(QCoreApplication::translate("InfoForm", "About Trevalo"));
    closeButton->setText(QString());
    versionLabel->setText(QCoreApplication::translate("InfoForm", "Version"));
    contactLabel->setText(contactHtml());
}
