#pragma once
// Small text and path routines shared by the tasks and the window.

#include <QString>

namespace engine {

// The decimal text of n without a leading blank ("-5" keeps its sign).
QString NumToStr(qint64 n);
// A number as it appears in status texts: one leading blank where the sign
// would stand for a number that is not negative (" 12", "-3").
QString NumWithSignBlank(qint64 n);
// Half-width digits 0-9 turned into full-width ０-９; other characters unchanged.
QString ToFullWidthDigits(const QString& text);

// A paragraph number as written: 【０００１】 … 【９９９９】, and from 10000 on
// all digits (【１００００】), as filings continue after 【９９９９】. Taking
// only the last four digits would make number 10000 the placeholder 【００００】.
QString ParagraphNumberText(int number);

// Path routines. Paths use the platform's separator ("/" here).
QString JoinPath(const QString& folder, const QString& name);
// Everything up to and including the last separator; empty when there is none.
QString GetFolderPart(const QString& path);
// Everything after the last separator; all of path when there is none.
QString GetFileNamePart(const QString& path);

// The name of a report file beside a document: prefix, the document's file
// name, suffix ("削除した原文-spec.docx.txt"). Where that would pass the 255
// bytes a file name may have, as much of the start of the document's name is
// kept as fits, followed by "…", so that a document with a long name still
// gets its reports.
QString ReportFileName(const QString& prefix, const QString& documentFileName, const QString& suffix);

// "°" and "’" replaced by "_": Word shows them half-width although code page
// 932 encodes them in two bytes.
QString MaskFalseFullWidth(const QString& text);

}  // namespace engine
