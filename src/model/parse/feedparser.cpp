#include "model/parse/feedparser.h"

#include "model/parse/feeddecoder.h"
#include "model/parse/feedparserhandler.h"
#include "model/parse/feedtext.h"
#include "model/parse/qualifiednamecache.h"

#include <libxml/HTMLparser.h>
#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include <QStringList>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>

using namespace Qt::StringLiterals;

namespace {

// How deep declared entities may nest inside one another.
constexpr int kMaxEntityDepth = 16;
// Atom 1.0.
constexpr char atomNamespace[] = "http://www.w3.org/2005/Atom";

void appendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool isXmlCharacter(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

const char *predefinedEntity(std::string_view name)
{
    if (name == "lt")
        return "<";
    if (name == "gt")
        return ">";
    if (name == "amp")
        return "&";
    if (name == "apos")
        return "'";
    if (name == "quot")
        return "\"";
    return nullptr;
}

// The character of a numeric reference body ("#233", "#xE9"), or 0 when it is not one.
char32_t characterReference(std::string_view body)
{
    if (body.size() < 2 || body[0] != '#')
        return 0;
    const bool hex = body[1] == 'x';
    const std::string_view digits = body.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 8)
        return 0;
    char32_t value = 0;
    for (const char ch : digits) {
        int digit = -1;
        if (ch >= '0' && ch <= '9')
            digit = ch - '0';
        else if (hex && ch >= 'a' && ch <= 'f')
            digit = ch - 'a' + 10;
        else if (hex && ch >= 'A' && ch <= 'F')
            digit = ch - 'A' + 10;
        if (digit < 0)
            return 0;
        value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
    }
    return isXmlCharacter(value) ? value : 0;
}

} // namespace

struct FeedParser::Private {
    // An entity handed to libxml2: marked predefined so that libxml2 inserts its text as it is,
    // without parsing it again or expanding anything itself.
    // An entity handed to libxml2, in two forms. In content it is marked predefined, so that
    // libxml2 inserts its text as it is, without parsing or expanding anything itself. In
    // attribute values (where libxml2 would insert only the first byte of a predefined entity)
    // it is an internal entity whose text has its '&' and '<' escaped.
    struct ResolvedEntity {
        xmlEntity inContent{};
        xmlEntity inAttribute{};
        std::string name;
        std::string content;
        std::string escapedContent;
        bool declared = false;

        ResolvedEntity() = default;
        ResolvedEntity(const ResolvedEntity &) = delete;
        ResolvedEntity &operator=(const ResolvedEntity &) = delete;
        // libxml2 may hand over the unexpanded text of a declaration.
        ~ResolvedEntity()
        {
            xmlFree(inContent.orig);
            xmlFree(inAttribute.orig);
        }

        void prepare()
        {
            for (const char c : content) {
                if (c == '&')
                    escapedContent += "&#38;";
                else if (c == '<')
                    escapedContent += "&#60;";
                else
                    escapedContent += c;
            }
            describe(inContent, XML_INTERNAL_PREDEFINED_ENTITY, content);
            describe(inAttribute, XML_INTERNAL_GENERAL_ENTITY, escapedContent);
        }

        void describe(xmlEntity &entity, xmlEntityType type, std::string &text)
        {
            entity.type = XML_ENTITY_DECL;
            entity.etype = type;
            entity.name = reinterpret_cast<const xmlChar *>(name.c_str());
            entity.content = reinterpret_cast<xmlChar *>(text.data());
            entity.length = static_cast<int>(text.size());
        }
    };
    struct DeclaredEntity {
        std::string value;
        bool expanding = false;
        bool expanded = false;
        std::string text; // the value expanded, once `expanded`
    };

    FeedParserHandler &handler;
    Options options;
    FeedDecoder decoder;
    xmlParserCtxtPtr context = nullptr;
    QStringList path;
    FeedText pendingText; // since the last element event
    QByteArray utf8;      // the decoder's output when it is not the input itself
    QString error;
    bool finished = false;
    bool sawElement = false;
    // The root is a prefixed Atom feed (<a:feed xmlns:a="…Atom">): its Atom elements are read by
    // their local names, as in a feed that makes Atom the default namespace. Elsewhere a prefix
    // stays, so that an RSS channel's <atom:link> is never taken for its <link>.
    bool atomUnderPrefix = false;
    bool sawText = false; // anything but white space before the first element
    QualifiedNameCache names;
    std::unordered_map<std::string, DeclaredEntity> declared;
    std::unordered_map<std::string, std::unique_ptr<ResolvedEntity>> resolved;
    qsizetype expandedBytes = 0;

    Private(FeedParserHandler &h, Options o) : handler(h), options(o) {}

    ~Private()
    {
        if (!context)
            return;
        // libxml2 keeps declarations in a stand-in document of its own making.
        if (context->myDoc)
            xmlFreeDoc(context->myDoc);
        xmlFreeParserCtxt(context);
    }

    static Private *self(void *userData) { return static_cast<Private *>(userData); }

    int currentLine() const { return context ? xmlSAX2GetLineNumber(context) : 0; }

    void fail(const QString &message, int line)
    {
        if (error.isEmpty())
            error = u"XML error at line %1: %2"_s.arg(line).arg(message);
        if (context)
            xmlStopParser(context);
    }

    void fail(const QString &message) { fail(message, currentLine()); }

    void flushText()
    {
        if (!pendingText.isEmpty())
            handler.characters(path, pendingText.take());
    }

    // Expands a declared entity's value into plain text; false after a failure.
    bool expand(std::string_view value, std::string &out, int depth)
    {
        size_t i = 0;
        while (i < value.size()) {
            const size_t amp = value.find('&', i);
            out.append(value.substr(i, amp == std::string_view::npos ? std::string_view::npos : amp - i));
            if (amp == std::string_view::npos)
                break;
            const size_t semicolon = value.find(';', amp);
            if (semicolon == std::string_view::npos) {
                out += '&';
                i = amp + 1;
                continue;
            }
            const std::string reference(value.substr(amp + 1, semicolon - amp - 1));
            i = semicolon + 1;
            if (!appendReference(reference, out, depth))
                return false;
            if (static_cast<qsizetype>(out.size()) + expandedBytes > maxEntityExpansion) {
                fail(u"entity expansion exceeds the limit of 1 MiB"_s);
                return false;
            }
        }
        return true;
    }

    // The text of a declared entity, expanded once and remembered; null after a failure.
    const std::string *expandedText(const std::string &name, DeclaredEntity &entity, int depth)
    {
        if (entity.expanded)
            return &entity.text;
        if (entity.expanding || depth > kMaxEntityDepth) {
            fail(u"entity &%1; refers to itself"_s.arg(QString::fromStdString(name)));
            return nullptr;
        }
        entity.expanding = true;
        const bool ok = expand(entity.value, entity.text, depth);
        entity.expanding = false;
        if (!ok)
            return nullptr;
        entity.expanded = true;
        return &entity.text;
    }

    bool appendReference(const std::string &reference, std::string &out, int depth)
    {
        if (!reference.empty() && reference[0] == '#') {
            const char32_t c = characterReference(reference);
            if (c == 0) {
                fail(u"invalid character reference &%1;"_s.arg(QString::fromStdString(reference)));
                return false;
            }
            appendUtf8(out, c);
            return true;
        }
        if (const char *text = predefinedEntity(reference)) {
            out += text;
            return true;
        }
        const auto found = declared.find(reference);
        if (found != declared.end()) {
            const std::string *text = expandedText(reference, found->second, depth + 1);
            if (!text)
                return false;
            out += *text;
            return true;
        }
        if (const htmlEntityDesc *html =
                htmlEntityLookup(reinterpret_cast<const xmlChar *>(reference.c_str()))) {
            appendUtf8(out, html->value);
            return true;
        }
        fail(u"undefined entity &%1;"_s.arg(QString::fromStdString(reference)));
        return false;
    }

    xmlEntityPtr resolve(const xmlChar *rawName)
    {
        // Declarations may refer to entities declared after them: expand only where used.
        if (context->inSubset)
            return nullptr;
        const std::string name(reinterpret_cast<const char *>(rawName));
        auto cached = resolved.find(name);
        if (cached == resolved.end()) {
            auto entity = std::make_unique<ResolvedEntity>();
            const auto found = declared.find(name);
            if (found != declared.end()) {
                entity->declared = true;
                const std::string *text = expandedText(name, found->second, 0);
                if (!text)
                    return nullptr;
                entity->content = *text;
            } else if (const htmlEntityDesc *html = htmlEntityLookup(rawName)) {
                appendUtf8(entity->content, html->value);
            } else {
                fail(u"undefined entity &%1;"_s.arg(QString::fromStdString(name)));
                return nullptr;
            }
            entity->name = name;
            entity->prepare();
            cached = resolved.emplace(name, std::move(entity)).first;
        }
        ResolvedEntity &entity = *cached->second;
        if (entity.declared) {
            expandedBytes += static_cast<qsizetype>(entity.content.size());
            if (expandedBytes > maxEntityExpansion) {
                fail(u"entity expansion exceeds the limit of 1 MiB"_s);
                return nullptr;
            }
        }
        const bool inAttribute =
            context->instate == XML_PARSER_ATTRIBUTE_VALUE || context->instate == XML_PARSER_START_TAG;
        return inAttribute ? &entity.inAttribute : &entity.inContent;
    }

    static bool isAtom(const xmlChar *namespaceUri)
    {
        return namespaceUri &&
               xmlStrEqual(namespaceUri, reinterpret_cast<const xmlChar *>(atomNamespace)) == 1;
    }

    // libxml2 callbacks; userData is the Private.

    static void onStartElement(void *userData, const xmlChar *localName, const xmlChar *prefix,
                               const xmlChar *namespaceUri, int namespaceCount, const xmlChar **namespaces,
                               int attributeCount, int, const xmlChar **attributes)
    {
        Private *d = self(userData);
        d->flushText();
        if (d->options.elementPause > std::chrono::nanoseconds::zero())
            ElementPause::pause(d->options.elementPause);
        if (prefix && isAtom(namespaceUri)) {
            if (!d->sawElement)
                d->atomUnderPrefix = true;
            if (d->atomUnderPrefix)
                prefix = nullptr;
        }
        d->sawElement = true;
        d->path.append(d->names.get(localName, prefix, d->context->dict));
        FeedAttributes attrs;
        attrs.m_attributes = attributes;
        attrs.m_attributeCount = attributeCount;
        attrs.m_namespaces = namespaces;
        attrs.m_namespaceCount = namespaceCount;
        d->handler.startElement(d->path, attrs);
    }

    static void onEndElement(void *userData, const xmlChar *, const xmlChar *, const xmlChar *)
    {
        Private *d = self(userData);
        d->flushText();
        if (d->path.isEmpty())
            return;
        d->handler.endElement(d->path);
        d->path.removeLast();
    }

    static void onCharacters(void *userData, const xmlChar *text, int length)
    {
        self(userData)->pendingText.append(reinterpret_cast<const char *>(text),
                                           static_cast<size_t>(std::max(length, 0)));
    }

    static xmlEntityPtr onGetEntity(void *userData, const xmlChar *name)
    {
        return self(userData)->resolve(name);
    }

    static xmlEntityPtr onGetParameterEntity(void *, const xmlChar *) { return nullptr; }

    static void onEntityDeclaration(void *userData, const xmlChar *name, int type, const xmlChar *,
                                    const xmlChar *, xmlChar *content)
    {
        Private *d = self(userData);
        const QString entityName = QString::fromUtf8(reinterpret_cast<const char *>(name));
        switch (type) {
        case XML_INTERNAL_GENERAL_ENTITY:
            // The first declaration of a name is binding.
            if (auto [it, added] = d->declared.try_emplace(reinterpret_cast<const char *>(name));
                added && content)
                it->second.value = reinterpret_cast<const char *>(content);
            break;
        case XML_INTERNAL_PARAMETER_ENTITY:
            d->fail(u"parameter entity %%%1; is not supported"_s.arg(entityName));
            break;
        default:
            d->fail(u"external entity %1 is not allowed"_s.arg(entityName));
            break;
        }
    }

    static xmlParserInputPtr onResolveEntity(void *userData, const xmlChar *, const xmlChar *systemId)
    {
        self(userData)->fail(u"external resource %1 is not allowed"_s.arg(
            QString::fromUtf8(reinterpret_cast<const char *>(systemId))));
        return nullptr;
    }

    static void onReference(void *userData, const xmlChar *name)
    {
        self(userData)->fail(
            u"undefined entity &%1;"_s.arg(QString::fromUtf8(reinterpret_cast<const char *>(name))));
    }

    static void onError(void *userData, xmlErrorPtr error)
    {
        if (!error || error->level < XML_ERR_FATAL)
            return;
        Private *d = self(userData);
        QString message = QString::fromUtf8(error->message ? error->message : "malformed document").trimmed();
        // At the end of input libxml2 calls a truncated document "extra content".
        if (error->code == XML_ERR_DOCUMENT_END && d->finished) {
            if (!d->path.isEmpty())
                message = u"document ends before </%1>"_s.arg(d->path.last());
            else if (!d->sawElement)
                message = u"Document is empty"_s;
        }
        if (error->code == XML_ERR_DOCUMENT_EMPTY && d->sawText)
            message = u"Start tag expected, '<' not found"_s;
        d->fail(message, error->line);
    }

    static const xmlSAXHandler &saxHandler()
    {
        static const xmlSAXHandler handler = [] {
            xmlSAXHandler h{};
            h.initialized = XML_SAX2_MAGIC;
            h.startElementNs = onStartElement;
            h.endElementNs = onEndElement;
            h.characters = onCharacters;
            h.ignorableWhitespace = onCharacters;
            h.cdataBlock = onCharacters;
            h.getEntity = onGetEntity;
            h.getParameterEntity = onGetParameterEntity;
            h.entityDecl = onEntityDeclaration;
            h.resolveEntity = onResolveEntity;
            h.reference = onReference;
            h.serror = onError;
            return h;
        }();
        return handler;
    }

    bool createContext()
    {
        static std::once_flag initialised;
        std::call_once(initialised, [] { xmlInitParser(); });
        xmlSAXHandler handlerCopy = saxHandler();
        context = xmlCreatePushParserCtxt(&handlerCopy, this, nullptr, 0, nullptr);
        if (!context) {
            error = u"XML error at line 0: out of memory"_s;
            return false;
        }
        // NOENT: references are replaced by the text onGetEntity hands over; libxml2 itself loads
        // nothing (onResolveEntity refuses, external declarations fail, no external subset
        // callback). IGNORE_ENC: the decoder has already turned the bytes into UTF-8.
        xmlCtxtUseOptions(context, XML_PARSE_NONET | XML_PARSE_IGNORE_ENC | XML_PARSE_NOENT);
        return true;
    }

    bool push(QByteArrayView bytes, bool terminate)
    {
        if (!error.isEmpty())
            return false;
        if (!context && !createContext())
            return false;
        if (!sawElement && !sawText)
            sawText = std::any_of(bytes.begin(), bytes.end(),
                                  [](char c) { return c != ' ' && c != '\t' && c != '\n' && c != '\r'; });
        const int result =
            xmlParseChunk(context, bytes.constData(), static_cast<int>(bytes.size()), terminate ? 1 : 0);
        if (error.isEmpty() && (result != XML_ERR_OK && !context->wellFormed))
            fail(u"malformed document"_s);
        if (terminate && error.isEmpty())
            flushText();
        return error.isEmpty();
    }
};

FeedParser::FeedParser(FeedParserHandler &handler) : FeedParser(handler, Options{}) {}

FeedParser::FeedParser(FeedParserHandler &handler, Options options)
    : d(std::make_unique<Private>(handler, options))
{
}

FeedParser::~FeedParser() = default;

void FeedParser::setHttpCharset(const QByteArray &charset)
{
    d->decoder.setHttpCharset(charset);
}

bool FeedParser::feed(QByteArrayView bytes)
{
    if (d->finished || !d->error.isEmpty())
        return d->error.isEmpty();
    const QByteArrayView utf8 = d->decoder.decode(bytes, d->utf8);
    if (utf8.isEmpty())
        return true;
    return d->push(utf8, false);
}

bool FeedParser::finish()
{
    if (d->finished)
        return d->error.isEmpty();
    d->finished = true;
    if (!d->error.isEmpty())
        return false;
    return d->push(d->decoder.finish(d->utf8), true);
}

bool FeedParser::failed() const
{
    return !d->error.isEmpty();
}

QString FeedParser::errorString() const
{
    return d->error;
}

QByteArray FeedParser::encoding() const
{
    return d->decoder.encoding();
}

QString FeedParser::parse(QByteArrayView document, FeedParserHandler &handler, Options options)
{
    FeedParser parser(handler, options);
    parser.feed(document);
    parser.finish();
    return parser.errorString();
}
