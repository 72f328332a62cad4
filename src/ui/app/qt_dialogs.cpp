#include "ui/app/qt_dialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QWidget>

namespace orvenix {

namespace {

struct ButtonSet {
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton;
    QMessageBox::StandardButton escapeButton;
};

ButtonSet ButtonsFor(Buttons buttons) {
    switch (buttons) {
    case Buttons::Ok:
        return {QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok};
    case Buttons::OkCancel:
        return {QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok, QMessageBox::Cancel};
    case Buttons::YesNo:
        return {QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, QMessageBox::No};
    case Buttons::YesNoCancel:
        return {QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes,
                QMessageBox::Cancel};
    case Buttons::RetryCancel:
        return {QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::Retry, QMessageBox::Cancel};
    case Buttons::AbortRetryIgnore:
        return {QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore, QMessageBox::Abort,
                QMessageBox::NoButton};
    }
    return {QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok};
}

QMessageBox::Icon IconFor(Icon icon) {
    switch (icon) {
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::Exclamation:
        return QMessageBox::Warning;
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

Answer AnswerFor(int button, Buttons buttons) {
    switch (button) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Retry:
        return Answer::Retry;
    case QMessageBox::Abort:
        return Answer::Abort;
    case QMessageBox::Ignore:
        return Answer::Ignore;
    default:
        break;
    }
    // The box was closed some other way: the answer that changes nothing.
    switch (buttons) {
    case Buttons::Ok:
        return Answer::Ok;
    case Buttons::YesNo:
        return Answer::No;
    case Buttons::AbortRetryIgnore:
        return Answer::Abort;
    default:
        return Answer::Cancel;
    }
}

} // namespace

QString BoxText(const std::string& text) {
    QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    s.replace("\r\n", "\n");
    return s;
}

QString DialogFilter(const std::string& filter) {
    QString s = QString::fromUtf8(filter.data(), static_cast<qsizetype>(filter.size()));
    s.replace("(*.*)", "(*)");
    return s;
}

Answer QtDialogs::Message(const MessageRequest& request) {
    const ButtonSet set = ButtonsFor(request.buttons);
    QMessageBox box(IconFor(request.icon), QString::fromStdString(request.title), BoxText(request.text),
                    set.buttons, parent_.data());
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(set.defaultButton);
    if (set.escapeButton != QMessageBox::NoButton) box.setEscapeButton(set.escapeButton);
    return AnswerFor(box.exec(), request.buttons);
}

std::optional<FileDialogResult> QtDialogs::FileDialog(const FileDialogRequest& request) {
    QFileDialog dialog(parent_.data(), QString::fromStdString(request.title),
                       QString::fromStdString(request.directory));
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (request.save && !request.confirmReplace) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    QStringList filters;
    for (const std::string& f : request.filters)
        filters << DialogFilter(f);
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    if (request.selectedFilter >= 0 && request.selectedFilter < filters.size()) {
        dialog.selectNameFilter(filters.at(request.selectedFilter));
    }
    if (!request.fileName.empty()) dialog.selectFile(QString::fromStdString(request.fileName));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return std::nullopt;
    FileDialogResult result;
    result.path = chosen.first().toStdString();
    result.filterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
    return result;
}

} // namespace orvenix
