// The update manifest read in one pass over its bytes: the document is checked as an XML
// parser checks it (encoding, well-formedness, references, CDATA sections, line ends), and
// every element named "File" below the root reaches a handler with the text of each of its
// child elements. Memory stays in proportion to one entry, not to the document.
#pragma once

#include <cstddef>
#include <string>

// Characters of a legacy code page (any encoding but UTF-8 and UTF-16), as the system decodes them.
class IManifestCodePage {
  public:
    virtual ~IManifestCodePage() = default;
    // Prepares for a code page; false when it is unknown, or when a document in it cannot be
    // read character by character (not a superset of ASCII, or with shift states).
    virtual bool Select(unsigned codePage) = 0;
    // Decodes the character that starts at bytes (one byte at least); returns how many bytes
    // it takes, 0 when they are no character of the code page.
    virtual std::size_t Decode(const unsigned char* bytes, std::size_t available,
                               char32_t& character) = 0;
};

class IManifestHandler {
  public:
    virtual ~IManifestHandler() = default;
    // An element named "File" below the root starts; entries keep the order of these calls.
    virtual void BeginFile() = 0;
    // A child element of the innermost open "File" has ended: its name and its text (all text
    // below it, white space treated as the system's XML DOM treats it).
    virtual void Field(const std::u16string& name, const std::u16string& text) = 0;
    // The innermost open "File" has ended; false refuses the whole document.
    virtual bool EndFile() = 0;
};

// False when the document is not well-formed XML in an encoding the reader knows, or when the
// handler refused it. References to entities other than the five predefined ones are errors
// (a document type declaration is skipped, not read).
bool ReadManifest(const unsigned char* data, std::size_t size, IManifestHandler& handler,
                  IManifestCodePage& codePages);
