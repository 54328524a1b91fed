#pragma once

// Settings properties are declared once, as one table row each: type, name and the metadata entry.
// A row expands to the Qt property, its class-info entry (same order as the properties), the
// accessor, the setter and the "<Name>Changed" signal.
//
// The setter always announces the value, also when it did not change: a value that is written back
// (an invalidated runtime value, a refreshed setting) must reach the screens that show it.
#define KVE_SETTING(Type, Name, Meta)                                                              \
    Q_PROPERTY(Type Name READ Name WRITE set##Name NOTIFY Name##Changed)                           \
    Q_CLASSINFO(#Name, "name=" #Name " " Meta)                                                     \
public:                                                                                            \
    Type Name() const { return m_##Name; }                                                         \
    void set##Name(const Type &value)                                                              \
    {                                                                                              \
        m_##Name = value;                                                                          \
        emit Name##Changed(m_##Name);                                                              \
    }                                                                                              \
    Q_SIGNAL void Name##Changed(Type value);                                                       \
                                                                                                   \
private:                                                                                           \
    Type m_##Name{};

// A child settings object held by a property: a Qt child of its holder, named like the property.
#define KVE_CHILD(Type, Name)                                                                      \
    Q_PROPERTY(Type *Name READ Name CONSTANT)                                                      \
    Q_CLASSINFO(#Name, "type=child name=" #Name)                                                   \
public:                                                                                            \
    Type *Name() const { return m_##Name; }                                                        \
                                                                                                   \
private:                                                                                           \
    Type *m_##Name = new Type(QStringLiteral(#Name), this);

// Constructor of a catalogue class: object name (defaulting to the usual one) and parent.
#define KVE_SETTINGS_CONSTRUCTOR(Class, Base, DefaultName)                                         \
public:                                                                                            \
    explicit Class(const QString &name = QStringLiteral(DefaultName), QObject *parent = nullptr)    \
        : Base(name, parent)                                                                       \
    {                                                                                              \
    }                                                                                              \
                                                                                                   \
private:
