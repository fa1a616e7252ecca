// An in-process stand-in for Word's automation object model: the members the Word document
// builder calls, with Word's names and Word's behaviour, keeping the document in memory and
// saving it as a .docx (WordprocessingML, ECMA-376).
//
// Object handles behave like automation references: copying a handle refers to the same
// object (a copied Range is the same range; use Duplicate() for an independent one). A Range
// follows edits made elsewhere in its document, as Word's ranges do.
//
// Members come as getter/setter pairs named like Word's properties:
//     range.Font().Size(10.5f);   float s = range.Font().Size();
//
// Text crosses this interface as UTF-8. Character positions count UTF-16 units, as Word does:
// every paragraph mark, end-of-cell mark and end-of-row mark is one character, a new document
// holds one empty paragraph (its Content is Range(0, 1)), and Content().End() counts the final
// paragraph mark. In inserted text, character 13 ends a paragraph, 11 is a line break, 12 a
// page break and 9 a tab; any other character that XML 1.0 cannot carry is stored as U+FFFD,
// one for one, so positions stay as the caller counted them.
//
// Failures throw base::RunTimeError with the number and Japanese description Word gives
// (a missing collection member, a value out of range, a folder that does not exist...).
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace word {

namespace detail {
struct AppState;
struct DocState;
struct RangeState;
struct StyleState;
struct TableState;
struct ShapeState;
struct FontTarget;
struct ParagraphFormatTarget;
struct BordersTarget;
struct BorderTarget;
}  // namespace detail

// Word's documented constants, with Word's names and values.
inline constexpr int wdCollapseEnd = 0;
inline constexpr int wdCollapseStart = 1;
inline constexpr int wdLineSpaceSingle = 0;
inline constexpr int wdLineSpace1pt5 = 1;
inline constexpr int wdLineSpaceDouble = 2;
inline constexpr int wdLineSpaceAtLeast = 3;
inline constexpr int wdLineSpaceExactly = 4;
inline constexpr int wdLineSpaceMultiple = 5;
inline constexpr int wdAlignParagraphLeft = 0;
inline constexpr int wdAlignParagraphCenter = 1;
inline constexpr int wdAlignParagraphRight = 2;
inline constexpr int wdAlignParagraphJustify = 3;
inline constexpr int wdStyleNormal = -1;
inline constexpr int wdStyleHeading1 = -2;
inline constexpr int wdStyleHeading2 = -3;
inline constexpr int wdStyleHeading3 = -4;
inline constexpr int wdLineBreak = 6;
inline constexpr int wdPageBreak = 7;
inline constexpr int wdDoNotSaveChanges = 0;
inline constexpr int wdWindowStateNormal = 0;
inline constexpr int wdWindowStateMaximize = 1;
inline constexpr int wdWindowStateMinimize = 2;
inline constexpr int wdRowHeightAuto = 0;
inline constexpr int wdRowHeightAtLeast = 1;
inline constexpr int wdRowHeightExactly = 2;
inline constexpr int wdCellAlignVerticalTop = 0;
inline constexpr int wdCellAlignVerticalCenter = 1;
inline constexpr int wdCellAlignVerticalBottom = 3;
inline constexpr int wdBorderTop = -1;
inline constexpr int wdBorderLeft = -2;
inline constexpr int wdBorderBottom = -3;
inline constexpr int wdBorderRight = -4;
inline constexpr int wdBorderDiagonalDown = -7;
inline constexpr int wdBorderDiagonalUp = -8;
inline constexpr int wdLineStyleNone = 0;
inline constexpr int wdLineStyleSingle = 1;
inline constexpr int wdLineWidth025pt = 2;
inline constexpr int wdLineWidth050pt = 4;
inline constexpr int wdLineWidth075pt = 6;
inline constexpr int wdLineWidth100pt = 8;
inline constexpr int wdLineWidth150pt = 12;
inline constexpr int wdWrapSquare = 0;
inline constexpr int wdWrapTight = 1;
inline constexpr int wdWrapThrough = 2;
inline constexpr int wdWrapNone = 3;  // floats over (or, sent behind, under) the text
inline constexpr int wdWrapTopBottom = 4;
inline constexpr int wdRelativeHorizontalPositionMargin = 0;
inline constexpr int wdRelativeHorizontalPositionPage = 1;
inline constexpr int wdRelativeVerticalPositionMargin = 0;
inline constexpr int wdRelativeVerticalPositionPage = 1;
inline constexpr int msoBringToFront = 0;
inline constexpr int msoSendToBack = 1;
inline constexpr int msoBringInFrontOfText = 4;
inline constexpr int msoSendBehindText = 5;
inline constexpr int wdUnderlineNone = 0;
inline constexpr int wdUnderlineSingle = 1;
inline constexpr int wdAnimationNone = 0;
inline constexpr int wdEmphasisMarkNone = 0;
inline constexpr std::int32_t wdColorAutomatic = -16777216;  // 0xFF000000
inline constexpr std::int32_t wdUndefined = 9999999;         // a mixed value, as Word reads it

// Word's RGB colour value (red in the low byte), as VB's RGB() builds it.
constexpr std::int32_t RGB(int red, int green, int blue) noexcept {
    return static_cast<std::int32_t>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}

// Word's unit conversions; single precision like Word's (mm x 72 / 25.4 and back).
float MillimetersToPoints(float millimeters) noexcept;
float PointsToMillimeters(float points) noexcept;

class Application;
class Borders;
class Cell;
class Cells;
class Characters;
class Columns;
class Document;
class Documents;
class Font;
class PageSetup;
class ParagraphFormat;
class Paragraphs;
class Range;
class Rows;
class Shape;
class Shapes;
class Style;
class Styles;
class Table;
class Tables;
class WrapFormat;

// Character formatting of a range's characters, or of a style. Setting a property on a
// collapsed range formats the text inserted there next (through that range). Reading a
// property whose value differs over the range gives wdUndefined for numbers, an empty string
// for names and false for switches.
class Font {
  public:
    // NameAscii is the Latin font (w:ascii), NameOther the one for other single-byte
    // characters (w:hAnsi), NameFarEast the Japanese characters' (w:eastAsia). Name sets them
    // all, but, as in Word, leaves the Japanese characters' font alone when given a Latin font
    // (told by a Japanese name such as "ＭＳ 明朝" or a Japanese font's English name).
    std::string Name() const;
    void Name(std::string_view name);
    std::string NameAscii() const;
    void NameAscii(std::string_view name);
    std::string NameOther() const;
    void NameOther(std::string_view name);
    std::string NameFarEast() const;
    void NameFarEast(std::string_view name);

    // Points. Word keeps sizes in half points: 10.3 reads back as 10.5. Outside 1..1638 is
    // Word's "value out of range" error.
    float Size() const;
    void Size(float points);

    std::int32_t Color() const;  // RGB() or wdColorAutomatic
    void Color(std::int32_t color);
    float Spacing() const;  // extra space between characters, points (twentieths kept)
    void Spacing(float points);
    int Position() const;  // points above (+) or below (-) the base line
    void Position(int points);
    bool Superscript() const;  // setting one of the two clears the other, as in Word
    void Superscript(bool on);
    bool Subscript() const;
    void Subscript(bool on);

    bool Bold() const;
    void Bold(bool on);
    bool Italic() const;
    void Italic(bool on);
    int Underline() const;  // wdUnderlineNone, wdUnderlineSingle
    void Underline(int kind);
    std::int32_t UnderlineColor() const;
    void UnderlineColor(std::int32_t color);
    bool StrikeThrough() const;
    void StrikeThrough(bool on);
    bool DoubleStrikeThrough() const;
    void DoubleStrikeThrough(bool on);
    bool Outline() const;
    void Outline(bool on);
    bool Emboss() const;
    void Emboss(bool on);
    bool Engrave() const;
    void Engrave(bool on);
    bool Shadow() const;
    void Shadow(bool on);
    bool Hidden() const;
    void Hidden(bool on);
    bool SmallCaps() const;
    void SmallCaps(bool on);
    bool AllCaps() const;
    void AllCaps(bool on);
    int Scaling() const;  // percent of the normal width
    void Scaling(int percent);
    float Kerning() const;  // kerning from this size on, points; 0 = none
    void Kerning(float points);
    int Animation() const;  // only wdAnimationNone is kept in a .docx
    void Animation(int kind);
    bool DisableCharacterSpaceGrid() const;
    void DisableCharacterSpaceGrid(bool on);
    int EmphasisMark() const;  // wdEmphasisMarkNone ...
    void EmphasisMark(int kind);

  private:
    friend class Range;
    friend class Style;
    explicit Font(std::shared_ptr<detail::FontTarget> target);
    std::shared_ptr<detail::FontTarget> target_;
};

// Paragraph formatting of every paragraph a range touches (a collapsed range touches its own
// paragraph), of all paragraphs of a collection, or of a style. Reading a value that differs
// over the paragraphs gives wdUndefined (false for switches).
class ParagraphFormat {
  public:
    int LineSpacingRule() const;  // wdLineSpaceSingle ... wdLineSpaceExactly
    void LineSpacingRule(int rule);
    float LineSpacing() const;  // points (exactly / at least), or 12 per line (multiple)
    void LineSpacing(float points);
    int Alignment() const;  // wdAlignParagraphLeft ...
    void Alignment(int alignment);
    float LeftIndent() const;  // points
    void LeftIndent(float points);
    float CharacterUnitLeftIndent() const;  // characters; overrides LeftIndent when not 0
    void CharacterUnitLeftIndent(float characters);
    bool WordWrap() const;  // false: Latin words may break anywhere (w:wordWrap off)
    void WordWrap(bool on);
    // Automatic space between Japanese characters and digits (w:autoSpaceDN) or Latin
    // letters (w:autoSpaceDE); both on in a new document, as in Word.
    bool AddSpaceBetweenFarEastAndDigit() const;
    void AddSpaceBetweenFarEastAndDigit(bool on);
    bool AddSpaceBetweenFarEastAndAlpha() const;
    void AddSpaceBetweenFarEastAndAlpha(bool on);

  private:
    friend class Range;
    friend class Style;
    friend class Paragraphs;
    explicit ParagraphFormat(std::shared_ptr<detail::ParagraphFormatTarget> target);
    std::shared_ptr<detail::ParagraphFormatTarget> target_;
};

// A span of a document's characters [Start, End).
class Range {
  public:
    std::int32_t Start() const;
    void Start(std::int32_t position);
    std::int32_t End() const;
    void End(std::int32_t position);
    // Positions are clamped to the document (0..Content.End); a Start after End moves End too.
    void SetRange(std::int32_t start, std::int32_t end);
    // wdCollapseEnd (0) or wdCollapseStart (1, Word's default). A range collapsed at the
    // document's end stands before the final paragraph mark, where text can be inserted.
    void Collapse(int direction = wdCollapseStart);
    Range Duplicate() const;

    // Inserts at the end (InsertAfter) or the start (InsertBefore) and extends the range over
    // the inserted text. A range ending after the final paragraph mark, an end-of-cell mark or
    // an end-of-row mark inserts before that mark. Inserted text takes the formatting of the
    // character before it in its paragraph (of the paragraph's first character or mark when
    // there is none); a new paragraph (character 13) inherits the paragraph formatting of the
    // paragraph it was split from.
    void InsertAfter(std::string_view utf8_text);
    void InsertBefore(std::string_view utf8_text);
    // UTF-8; paragraph marks as "\r", end-of-cell and end-of-row marks as "\r\a" as Word
    // shows them.
    std::string Text() const;
    void Text(std::string_view utf8_text);  // replaces the range's text
    // Deletes the range's content (never the final paragraph mark nor table structure short
    // of whole rows); anchored pictures in it go too. Collapses the range. Returns the number
    // of characters deleted.
    std::int32_t Delete();
    // wdPageBreak or wdLineBreak; replaces the range and leaves it collapsed after the break.
    void InsertBreak(int type = wdPageBreak);

    word::Font Font() const;
    word::ParagraphFormat ParagraphFormat() const;
    word::Paragraphs Paragraphs() const;
    word::Characters Characters() const;
    word::Cells Cells() const;    // cells the range touches
    word::Tables Tables() const;  // tables the range touches
    // Applies a paragraph style to every paragraph the range touches: by built-in identifier
    // (wdStyleNormal, wdStyleHeading1..3) or by name ("標準", "見出し 1"... or "Heading 1").
    // As in Word, this drops the paragraphs' own paragraph formatting and any character
    // formatting that covers half a paragraph or more.
    void Style(int builtin_id);
    void Style(std::string_view name);
    word::Style Style() const;  // style of the first paragraph

    // Cut and Copy put the range on the application's clipboard: text within one paragraph,
    // or whole paragraphs and whole table rows. Paste replaces the range by the clipboard and
    // extends the range over what was pasted; a table pasted directly after another table
    // (no paragraph between) joins it, as in Word.
    void Cut();
    void Copy();
    void Paste();

  private:
    friend struct detail::RangeState;
    friend class Document;
    friend class Paragraphs;
    friend class Characters;
    friend class Table;
    friend class Cell;
    friend class Shape;
    friend class Tables;
    friend class Shapes;
    friend class Cells;
    friend class Row;
    explicit Range(std::shared_ptr<detail::RangeState> state);
    std::shared_ptr<detail::RangeState> state_;
};

class Paragraph {
  public:
    word::Range Range() const;
    word::ParagraphFormat Format() const;

  private:
    friend class Paragraphs;
    explicit Paragraph(word::Range range);
    word::Range range_;
};

// The paragraphs of a document or of a range. The format setters apply to all of them.
class Paragraphs {
  public:
    std::int32_t Count() const;
    Paragraph Item(std::int32_t index) const;  // 1-based

    void LineSpacingRule(int rule);
    void LineSpacing(float points);
    void Alignment(int alignment);
    void LeftIndent(float points);
    void CharacterUnitLeftIndent(float characters);
    void WordWrap(bool on);
    void AddSpaceBetweenFarEastAndDigit(bool on);
    void AddSpaceBetweenFarEastAndAlpha(bool on);

  private:
    friend class Range;
    friend class Document;
    explicit Paragraphs(word::Range range);
    word::ParagraphFormat Format() const;
    word::Range range_;
};

// Single characters of a range, each as a Range of length 1.
class Characters {
  public:
    std::int32_t Count() const;
    word::Range Item(std::int32_t index) const;  // 1-based

  private:
    friend class Range;
    explicit Characters(word::Range range);
    word::Range range_;
};

class Border {
  public:
    int LineStyle() const;  // wdLineStyleNone, wdLineStyleSingle
    void LineStyle(int style);
    int LineWidth() const;  // wdLineWidth025pt ... (eighths of a point)
    void LineWidth(int width);

  private:
    friend class Borders;
    explicit Border(std::shared_ptr<detail::BorderTarget> target);
    std::shared_ptr<detail::BorderTarget> target_;
};

// Borders of a cell (or of a whole table). Setting a cell's left or right border sets the
// neighbour's touching border too: Word keeps one line between two cells of a row.
class Borders {
  public:
    Border Item(int index) const;  // wdBorderTop ... wdBorderDiagonalUp
    // Outer edges of a table, or the four sides of a cell.
    void OutsideLineStyle(int style);

  private:
    friend class Cell;
    friend class Table;
    friend class Border;
    explicit Borders(std::shared_ptr<detail::BordersTarget> target);
    std::shared_ptr<detail::BordersTarget> target_;
};

class Cell {
  public:
    int RowIndex() const;
    int ColumnIndex() const;
    // From the cell's first character to after its end-of-cell mark.
    word::Range Range() const;
    float Width() const;  // points
    void Width(float points);
    int VerticalAlignment() const;  // wdCellAlignVerticalTop ...
    void VerticalAlignment(int alignment);
    float TopPadding() const;  // points; a new table's cells have Word's default margins
    void TopPadding(float points);
    float BottomPadding() const;
    void BottomPadding(float points);
    float LeftPadding() const;
    void LeftPadding(float points);
    float RightPadding() const;
    void RightPadding(float points);
    word::Borders Borders() const;

  private:
    friend class Table;
    friend class Borders;
    Cell(std::shared_ptr<detail::TableState> table, int row, int column);
    std::shared_ptr<detail::TableState> table_;
    int row_;
    int column_;
};

// The cells a range touches; Merge joins horizontally adjacent cells of one row into the
// first (widths add up, contents are kept in order).
class Cells {
  public:
    std::int32_t Count() const;
    void Merge();

  private:
    friend class Range;
    explicit Cells(word::Range range);
    word::Range range_;
};

class Row {
  public:
    int Index() const;
    int HeightRule() const;  // wdRowHeightAuto, wdRowHeightAtLeast, wdRowHeightExactly
    void HeightRule(int rule);
    float Height() const;  // points
    void Height(float points);
    float LeftIndent() const;  // points from the text margin to the row's left edge
    void LeftIndent(float points);
    word::Range Range() const;

  private:
    friend class Rows;
    Row(std::shared_ptr<detail::TableState> table, int row);
    std::shared_ptr<detail::TableState> table_;
    int row_;
};

// The rows of a table; the setters apply to every row.
class Rows {
  public:
    std::int32_t Count() const;
    Row Item(int index) const;  // 1-based
    void HeightRule(int rule);
    void Height(float points);
    void LeftIndent(float points);

  private:
    friend class Table;
    explicit Rows(std::shared_ptr<detail::TableState> table);
    std::shared_ptr<detail::TableState> table_;
};

class Column {
  public:
    int Index() const;
    float Width() const;       // points; wdUndefined when the rows' cells differ
    void Width(float points);  // the cell of this column in every row that has one

  private:
    friend class Columns;
    Column(std::shared_ptr<detail::TableState> table, int column);
    std::shared_ptr<detail::TableState> table_;
    int column_;
};

class Columns {
  public:
    std::int32_t Count() const;    // the most cells any row has
    Column Item(int index) const;  // 1-based

  private:
    friend class Table;
    explicit Columns(std::shared_ptr<detail::TableState> table);
    std::shared_ptr<detail::TableState> table_;
};

class Table {
  public:
    word::Range Range() const;  // from the first cell to after the last end-of-row mark
    word::Rows Rows() const;
    word::Columns Columns() const;
    word::Cell Cell(int row, int column) const;  // 1-based; after merges, cells shift left
    word::Borders Borders() const;

  private:
    friend class Tables;
    explicit Table(std::shared_ptr<detail::TableState> state);
    std::shared_ptr<detail::TableState> state_;
};

// Tables of a document (or those a range touches), in document order.
class Tables {
  public:
    // A table of rows x columns of equal widths over the text column, single 0.5 pt borders
    // all round, replacing the range (inserted before the range's paragraph, or splitting it).
    // A table that lands directly after another table joins it: the returned table is then
    // the joined one, whose last rows are the new ones.
    Table Add(const word::Range& range, int rows, int columns);
    std::int32_t Count() const;
    Table Item(std::int32_t index) const;  // 1-based

  private:
    friend class Document;
    friend class Range;
    explicit Tables(word::Range scope);
    word::Range scope_;
};

class WrapFormat {
  public:
    int Type() const;  // wdWrapNone ...
    void Type(int type);

  private:
    friend class Shape;
    explicit WrapFormat(std::shared_ptr<detail::ShapeState> shape);
    std::shared_ptr<detail::ShapeState> shape_;
};

// A floating picture anchored at a paragraph.
class Shape {
  public:
    word::WrapFormat WrapFormat() const;
    int RelativeHorizontalPosition() const;  // wdRelativeHorizontalPositionPage ...
    void RelativeHorizontalPosition(int relative_to);
    int RelativeVerticalPosition() const;
    void RelativeVerticalPosition(int relative_to);
    float Left() const;  // points from what the position is relative to
    void Left(float points);
    float Top() const;
    void Top(float points);
    float Width() const;
    void Width(float points);
    float Height() const;
    void Height(float points);
    // msoSendBehindText puts the picture under the text; msoBringInFrontOfText over it;
    // msoBringToFront / msoSendToBack order it among the pictures on its side.
    void ZOrder(int command);
    word::Range Anchor() const;  // the anchor paragraph's first character

  private:
    friend class Shapes;
    explicit Shape(std::shared_ptr<detail::ShapeState> state);
    std::shared_ptr<detail::ShapeState> state_;
};

class Shapes {
  public:
    // Reads the picture file now (the caller may delete it afterwards) and embeds it: an
    // .emf as a vector picture, a .bmp converted to PNG (pixels kept), PNG and JPEG as they
    // are. Omitted (negative) width or height give the picture's natural size: the EMF
    // frame, or the bitmap's pixels at 96 dpi. Left/Top are relative to the column and
    // paragraph until the relative positions are set. Anchored at the paragraph of `anchor`
    // (the document's first paragraph when omitted). Only embedding is supported:
    // linkToFile must be false and saveWithDocument true. A missing or unreadable file, or
    // one that is not a picture, is a RunTimeError.
    Shape AddPicture(const std::filesystem::path& file, bool linkToFile = false,
                     bool saveWithDocument = true, float left = 0, float top = 0, float width = -1,
                     float height = -1, const std::optional<word::Range>& anchor = std::nullopt);
    std::int32_t Count() const;  // settled pictures included
    // 1-based, in order of insertion; a settled picture cannot be reached (invalid call).
    Shape Item(std::int32_t index) const;

  private:
    friend class Document;
    explicit Shapes(std::shared_ptr<detail::DocState> doc);
    std::shared_ptr<detail::DocState> doc_;
};

// A paragraph style. The document has the built-in normal style ("標準", wdStyleNormal) and
// headings 1 to 3 ("見出し 1".."見出し 3", wdStyleHeading1..3), saved as Word's built-in
// "Normal" and "heading 1".."heading 3" so that Word and LibreOffice treat them as such.
class Style {
  public:
    std::string NameLocal() const;
    bool AutomaticallyUpdate() const;
    void AutomaticallyUpdate(bool on);
    std::string BaseStyle() const;  // local name; empty for none
    void BaseStyle(std::string_view name);
    void BaseStyle(int builtin_id);
    std::string NextParagraphStyle() const;
    void NextParagraphStyle(std::string_view name);
    void NextParagraphStyle(int builtin_id);
    word::ParagraphFormat ParagraphFormat() const;
    word::Font Font() const;

  private:
    friend class Styles;
    friend class Range;
    explicit Style(std::shared_ptr<detail::StyleState> state);
    std::shared_ptr<detail::StyleState> state_;
};

class Styles {
  public:
    std::int32_t Count() const;
    // By built-in identifier, local name ("見出し 1") or English name ("Heading 1").
    Style Item(int builtin_id) const;
    Style Item(std::string_view name) const;

  private:
    friend class Document;
    explicit Styles(std::shared_ptr<detail::DocState> doc);
    std::shared_ptr<detail::DocState> doc_;
};

// Margins in points; the paper is A4 portrait, the default of a Japanese Word.
class PageSetup {
  public:
    float TopMargin() const;
    void TopMargin(float points);
    float BottomMargin() const;
    void BottomMargin(float points);
    float LeftMargin() const;
    void LeftMargin(float points);
    float RightMargin() const;
    void RightMargin(float points);
    float PageWidth() const;
    void PageWidth(float points);
    float PageHeight() const;
    void PageHeight(float points);

  private:
    friend class Document;
    explicit PageSetup(std::shared_ptr<detail::DocState> doc);
    std::shared_ptr<detail::DocState> doc_;
};

class Document {
  public:
    void Activate();            // becomes the application's ActiveDocument
    word::Range Range() const;  // the whole document, like Content
    word::Range Range(std::int32_t start, std::int32_t end) const;
    word::Range Content() const;
    word::Paragraphs Paragraphs() const;
    word::PageSetup PageSetup() const;
    word::Styles Styles() const;
    word::Tables Tables() const;
    word::Shapes Shapes() const;
    bool SpellingChecked() const;  // kept for Word's interface; no proofing here
    void SpellingChecked(bool checked);

    // Writes the whole document as a .docx whatever the name's extension: to a temporary
    // name in the same folder, then renamed over the target, so the file is complete or
    // absent. The bytes depend only on the document (fixed zip times). A folder that does not
    // exist is a path-not-found error; other failures are numbered as for every file written.
    void SaveAs(const std::filesystem::path& file_name);
    // Closes the document (only wdDoNotSaveChanges is supported); its handles become invalid.
    void Close(int save_changes = wdDoNotSaveChanges);

    // Not Word's: the caller's word that nothing before `position` will be read or changed
    // again. The paragraphs and tables that end there, and their pictures, are written out
    // into the part the next SaveAs puts into the package, and let go: a long document needs
    // the memory of its last pages only. Positions keep counting from the document's start.
    // Reaching settled content afterwards (its text, its formatting, a range into it, its
    // pictures) is an invalid-call error; deleting the whole content starts the document
    // afresh. Settled pictures keep the stacking they had when they were settled. A position
    // inside a paragraph or table settles what ends before it.
    void Settle(std::int32_t position);

    friend bool operator==(const Document& a, const Document& b) noexcept {
        return a.state_ == b.state_;
    }

  private:
    friend class Application;
    friend class Documents;
    explicit Document(std::shared_ptr<detail::DocState> state);
    std::shared_ptr<detail::DocState> state_;
};

class Documents {
  public:
    // A new blank document (one empty paragraph in the normal style, A4 portrait, Word's
    // default margins); it becomes the active document. Visible is kept for Word's interface.
    Document Add(bool visible = true);
    std::int32_t Count() const;
    Document Item(std::int32_t index) const;  // 1-based, in order of creation

  private:
    friend class Application;
    explicit Documents(std::shared_ptr<detail::AppState> app);
    std::shared_ptr<detail::AppState> app_;
};

// Switches that only concern Word's screen or its background proofing: kept, no effect.
class Options {
  public:
    bool CheckSpellingAsYouType() const;
    void CheckSpellingAsYouType(bool on);
    bool CheckGrammarAsYouType() const;
    void CheckGrammarAsYouType(bool on);

  private:
    friend class Application;
    explicit Options(std::shared_ptr<detail::AppState> app);
    std::shared_ptr<detail::AppState> app_;
};

// What Cut and Copy leave; shared by all documents of the application.
class Clipboard {
  public:
    bool HasContent() const;
    void Clear();

  private:
    friend class Application;
    explicit Clipboard(std::shared_ptr<detail::AppState> app);
    std::shared_ptr<detail::AppState> app_;
};

// A Word instance. Constructing one starts a new, empty instance. The program that drives it
// gives its name, which saved documents carry as their application and author.
class Application {
  public:
    explicit Application(std::string program_name = {});

    int WindowState() const;  // screen-only switches: kept, no effect
    void WindowState(int state);
    bool ScreenUpdating() const;
    void ScreenUpdating(bool on);
    bool Visible() const;
    void Visible(bool on);

    word::Documents Documents() const;
    // The document last added or activated; a RunTimeError when no document is open.
    Document ActiveDocument() const;
    word::Options Options() const;
    word::Clipboard Clipboard() const;
    float MillimetersToPoints(float millimeters) const noexcept;
    float PointsToMillimeters(float points) const noexcept;

    // Closes every document (only wdDoNotSaveChanges is supported); the instance's handles
    // become invalid.
    void Quit(int save_changes = wdDoNotSaveChanges);

  private:
    std::shared_ptr<detail::AppState> state_;
};

}  // namespace word
