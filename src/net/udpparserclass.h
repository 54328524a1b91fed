#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QVarLengthArray>

// Fields of one tag-block text, found in one pass: for g, s, n and t the first field with that
// key (nullptr when absent), for d every one in order. A value runs from after "key:" to the
// next ',' or '*'; its end is nullptr when neither follows.
struct TagFields
{
    struct Field
    {
        const char *key = nullptr;   // the key character, at a field boundary
        const char *valueEnd = nullptr;
        const char *value() const { return key + 2; }
        int length() const { return int(valueEnd - key - 2); }
    };
    Field g, s, n, t;
    QVarLengthArray<Field, 4> d;
};

// Field checks and look-ups on a tag block. Every operation takes either a whole datagram or a
// bare tag-block text; on a datagram it works on the last tag block in it.
class UdpParserClass
{
public:
    // 0 valid; -1 no "s:"; -2 field not ended; -3 value not six characters.
    static int checkSource(const QByteArray &data);
    // 0 valid; -1 no "n:"; -2 field not ended; -3 not an integer; -4 outside 1 to 999.
    static int checkLine(const QByteArray &data);
    // 1 no "d:" at all; 0 every "d:" valid; -2 field not ended; -3 value not six characters.
    static int checkDestination(const QByteArray &data);
    // -1 source bad, -2 destination bad, -3 line bad, else 0.
    static int checkTag(const QByteArray &data);

    static QByteArray sourceSfi(const QByteArray &data);
    static QByteArrayList destinationSfis(const QByteArray &data);
    static QByteArray lineNumber(const QByteArray &data);
    static QByteArray groupField(const QByteArray &data);

    // The same checks on the text between two backslashes, [begin, end). With quiet set no debug
    // lines are written (the caller reports the fault itself).
    static int checkSource(const char *begin, const char *end, bool quiet = false);
    static int checkLine(const char *begin, const char *end, bool quiet = false);
    static int checkDestination(const char *begin, const char *end, bool quiet = false);
    static int checkTag(const char *begin, const char *end, bool quiet = false);

    // All fields of a tag-block text in one pass, and the checks above on the parsed value
    // ([begin, end) is the same text, for the fault report).
    static TagFields parse(const char *begin, const char *end);
    static int checkSource(const TagFields &tag, const char *begin, const char *end, bool quiet);
    static int checkLine(const TagFields &tag, const char *begin, const char *end, bool quiet);
    static int checkDestination(const TagFields &tag, const char *begin, const char *end, bool quiet);
    static int checkTag(const TagFields &tag, const char *begin, const char *end, bool quiet);

    // Last tag block of a datagram (text between its two backslashes), or the text itself when
    // it holds no backslash.
    static QByteArray lastTagBlock(const QByteArray &data);
    static void lastTagBlock(const char *begin, const char *end, const char **tagBegin, const char **tagEnd);

    // Start of the first field "key:" (key two characters incl. colon) at a field boundary, or nullptr.
    static const char *findField(const char *begin, const char *end, char key, const char *from = nullptr);
    // End of a field value: the next ',' or '*', or nullptr when the field is not ended.
    static const char *fieldEnd(const char *valueBegin, const char *end);
};
