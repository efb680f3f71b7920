#include "odbc/OdbcIni.h"

#include "services/Language.h"

#include <QStringDecoder>

#include <odbcinstext.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <algorithm>
#include <vector>

namespace {

constexpr int kInstallerText = 1936;

} // namespace

const char COdbcIni::FileName[] = "odbc.ini";

COdbcIni::ConfigMode::ConfigMode(bool system) {
    SQLSetConfigMode(system ? ODBC_SYSTEM_DSN : ODBC_USER_DSN);
}

COdbcIni::ConfigMode::~ConfigMode() {
    SQLSetConfigMode(ODBC_BOTH_DSN);
}

QString COdbcIni::InstallerError() {
    QString messages;
    for (WORD index = 1; index <= 8; ++index) {
        DWORD code = 0;
        SQLWCHAR text[SQL_MAX_MESSAGE_LENGTH];
        WORD length = 0;
        const SQLRETURN result =
            SQLInstallerErrorW(index, &code, text, WORD(std::size(text)), &length);
        if (result == SQL_NO_DATA || !SQL_SUCCEEDED(result))
            break;
        if (!messages.isEmpty())
            messages += QLatin1Char('\n');
        messages += QString::fromUtf16(reinterpret_cast<const char16_t*>(text));
    }
    return LoadLocalizedString(kInstallerText).arg(messages);
}

QByteArray COdbcIni::NameBytes(const QString& name) {
    return name.toLatin1();
}

QByteArray COdbcIni::ValueBytes(const QString& value) {
    return value.toUtf8();
}

QString COdbcIni::TextOf(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

QByteArray COdbcIni::ProfileBytes(const char* section, const char* key, const char* fallback,
                                  const char* file) {
    std::vector<char> buffer(key ? INI_MAX_PROPERTY_VALUE + 2 : 8192);
    for (;;) {
        const int length = SQLGetPrivateProfileString(section, key, fallback, buffer.data(),
                                                      int(buffer.size()), file);
        if (length <= 0)
            return {};
        // A list stops before the first name that does not fit: with room left for the longest
        // name, none was left out.
        if (key || size_t(length) + INI_MAX_LINE + 2 < buffer.size() || buffer.size() > 1 << 26)
            return QByteArray(buffer.data(), std::min<qsizetype>(length, buffer.size() - 1));
        buffer.resize(buffer.size() * 4);
    }
}

QList<QByteArray> COdbcIni::Names(const QByteArray& list) {
    QList<QByteArray> names = list.split('\0');
    names.removeAll(QByteArray());
    return names;
}
