#include "ui/app/qt_settings.h"

#include <QSettings>
#include <QStringList>
#include <QVariant>

namespace orvenix {

namespace {

QString GroupKey(const std::string& key) {
    return QString::fromLatin1(kSettingsSection) + '/' +
           QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}

} // namespace

QtSettings::QtSettings()
    : store_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                         QString::fromLatin1(kSettingsOrganisation),
                                         QString::fromLatin1(kSettingsApplication))) {}

QtSettings::QtSettings(const QString& iniPath)
    : store_(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

QtSettings::~QtSettings() = default;

QString QtSettings::FileName() const {
    return store_->fileName();
}

std::optional<std::string> QtSettings::Lookup(const std::string& key) {
    // Values are read afresh each time: another instance may have changed the file.
    store_->sync();
    const QVariant value = store_->value(GroupKey(key));
    if (!value.isValid()) return std::nullopt;
    // A hand-edited value with unquoted commas comes back as a list; it was one text.
    if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(", ").toStdString();
    if (value.typeId() == QMetaType::QString) return value.toString().toStdString();
    if (value.canConvert<QString>()) {
        const QString text = value.toString();
        if (!text.isNull()) return text.toStdString();
    }
    return std::nullopt; // not a text: the caller's default applies
}

void QtSettings::Write(const std::string& key, const std::string& value) {
    store_->setValue(GroupKey(key), QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())));
    // Written at once, so that a crash later in the run does not lose the choice. Failures are not reported.
    store_->sync();
}

} // namespace orvenix
