#pragma once

#include <QList>
#include <QObject>
#include <QString>

namespace nerova::test {

// The one control of type T named `name` under root, as a user would find it by its name.
// A missing or doubled name is a broken window, not a behaviour to check further: the run
// stops there, naming the control, instead of crashing on a null pointer later.
template <class T> T* child(const QObject& root, const QString& name) {
    const QList<T*> found = root.findChildren<T*>(name);
    if (found.size() != 1)
        qFatal("%s: %lld controls of type %s named \"%s\"", qPrintable(root.objectName()),
               static_cast<long long>(found.size()), T::staticMetaObject.className(),
               qPrintable(name));
    return found.front();
}

template <class T> T* child(const QObject& root, const char* name) {
    return child<T>(root, QString::fromLatin1(name));
}

} // namespace nerova::test
