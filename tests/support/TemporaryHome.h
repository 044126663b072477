#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace nerova::test {

// A home folder of the test's own while it lives, with a "Documents" folder unless asked
// otherwise: the folders the program offers the user are then known, and nothing a test
// saves there lands among the files of whoever runs it.
class TemporaryHome {
public:
    explicit TemporaryHome(bool withDocuments = true)
        : m_home(qgetenv("HOME")), m_config(qgetenv("XDG_CONFIG_HOME")),
          m_hadConfig(qEnvironmentVariableIsSet("XDG_CONFIG_HOME")) {
        if (withDocuments)
            QDir(m_dir.path()).mkdir(QStringLiteral("Documents"));
        qputenv("HOME", QFile::encodeName(m_dir.path()));
        qunsetenv("XDG_CONFIG_HOME");
    }
    ~TemporaryHome() {
        qputenv("HOME", m_home);
        if (m_hadConfig)
            qputenv("XDG_CONFIG_HOME", m_config);
    }
    TemporaryHome(const TemporaryHome&) = delete;
    TemporaryHome& operator=(const TemporaryHome&) = delete;

    QString path() const { return m_dir.path(); }
    QString documents() const { return m_dir.filePath(QStringLiteral("Documents")); }

private:
    QTemporaryDir m_dir;
    QByteArray m_home;
    QByteArray m_config;
    bool m_hadConfig;
};

} // namespace nerova::test
