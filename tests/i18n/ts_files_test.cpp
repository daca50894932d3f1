// SPDX-License-Identifier: MIT
// The .ts files: every text translated, each translation with the placeholders and access key
// of its text, and the files in step with the code (what lupdate would find in it).
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <vector>

#include "tests/gui/expected_boxes.h"
#include "tests/i18n/access_key.h"

namespace nimbrel::testing {
namespace {

struct TsMessage {
    QString context;
    QString source;
    QString translation;
    /// "unfinished", "vanished" or "obsolete"; empty for a finished translation.
    QString type;
};

QStringList tsFiles() {
    return QString::fromUtf8(NIMBREL_TS_FILES).split(QLatin1Char(','));
}

std::vector<TsMessage> readTs(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return {};
    }
    std::vector<TsMessage> messages;
    QString context;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        if (xml.name() == u"name") {
            context = xml.readElementText();
        } else if (xml.name() == u"message") {
            messages.push_back({context, {}, {}, {}});
        } else if (xml.name() == u"source" && !messages.empty()) {
            messages.back().source = xml.readElementText();
        } else if (xml.name() == u"translation" && !messages.empty()) {
            messages.back().type = xml.attributes().value(QStringLiteral("type")).toString();
            // A plural's forms are child elements: all of them must be there.
            messages.back().translation =
                xml.readElementText(QXmlStreamReader::IncludeChildElements);
        }
    }
    EXPECT_FALSE(xml.hasError()) << path.toStdString() << ": " << xml.errorString().toStdString();
    return messages;
}

std::string where(const QString& path, const TsMessage& message) {
    return (QFileInfo(path).fileName() + QStringLiteral(" ") + message.context +
            QStringLiteral(" \"") + message.source + QStringLiteral("\""))
        .toStdString();
}

QSet<QString> placeholders(const QString& text) {
    static const QRegularExpression placeholder(QStringLiteral("%L?n|%L?[1-9][0-9]?"));
    QSet<QString> found;
    for (const QRegularExpressionMatch& match : placeholder.globalMatch(text)) {
        found.insert(match.captured());
    }
    return found;
}

/// The messages of a copy of `path` that lupdate has brought up to date with the code: texts
/// new in the code come back unfinished, texts gone from it vanished.
std::vector<TsMessage> refreshedFromCode(const QString& path) {
    const QTemporaryDir dir;
    const QString copy = dir.filePath(QFileInfo(path).fileName());
    if (!QFile::copy(path, copy)) {
        ADD_FAILURE() << "cannot copy " << path.toStdString();
        return {};
    }
    QProcess lupdate;
    lupdate.setProcessChannelMode(QProcess::MergedChannels);
    lupdate.start(
        QString::fromUtf8(NIMBREL_LUPDATE),
        {QStringLiteral("@") + QString::fromUtf8(NIMBREL_TRANSLATED_SOURCES_LIST),
         // The includes name classes by their namespace, as the build's lupdate sees.
         QStringLiteral("-I"), QString::fromUtf8(NIMBREL_SOURCE_DIR), QStringLiteral("-locations"),
         QStringLiteral("none"), QStringLiteral("-ts"), copy});
    const bool finished = lupdate.waitForFinished(60000);
    const QString output = QString::fromLocal8Bit(lupdate.readAll());
    if (!finished || lupdate.exitStatus() != QProcess::NormalExit || lupdate.exitCode() != 0) {
        ADD_FAILURE() << "lupdate failed: " << output.toStdString();
        return {};
    }
    return readTs(copy);
}

TEST(TsFiles, EveryTextHasAFinishedTranslationWithItsPlaceholdersAndAccessKeys) {
    ASSERT_EQ(tsFiles().size(), 2);
    for (const QString& path : tsFiles()) {
        const std::vector<TsMessage> messages = readTs(path);
        ASSERT_FALSE(messages.empty()) << path.toStdString();
        for (const TsMessage& message : messages) {
            const std::string shown =
                where(path, message) + " -> " + message.translation.toStdString();
            EXPECT_TRUE(message.type.isEmpty()) << shown << " is " << message.type.toStdString();
            EXPECT_FALSE(message.translation.isEmpty()) << shown;
            EXPECT_EQ(placeholders(message.translation), placeholders(message.source)) << shown;
            EXPECT_EQ(accessKeys(message.translation).size(), accessKeys(message.source).size())
                << shown;
        }
    }
}

// One lupdate run a file: texts new in the code come back unfinished, texts gone from it
// vanished (the build's refresh drops those; a hand edit may leave them).
TEST(TsFiles, FilesAreInStepWithTheCode) {
    for (const QString& path : tsFiles()) {
        const std::vector<TsMessage> messages = refreshedFromCode(path);
        ASSERT_FALSE(messages.empty()) << path.toStdString();
        for (const TsMessage& message : messages) {
            EXPECT_TRUE(message.type.isEmpty())
                << where(path, message) << " is " << message.type.toStdString()
                << " after lupdate: run the update_translations target and translate";
        }
    }
}

}  // namespace
}  // namespace nimbrel::testing
