#!/usr/bin/env python3
"""Writes check-me.docx: a short Japanese patent application (明細書 with its
headings, 特許請求の範囲, 要約書 and 図面 with two figures) for trying the
check before filing (task code 6). It holds one deliberate fault of each kind
the check reports:

  段落番号      【０００５】 is missing (【０００４】 is followed by 【０００６】)
  請求項番号    【請求項５】 is missing
  請求項引用    claim 3 cites claim 4, which comes after it
  マルチマルチ  claim 6 cites claims 1 to 4 alternatively, and claim 4 cites 1 or 2
  図番号        【図面の簡単な説明】 lists 【図１】 and 【図３】
  図引用        the text cites 図４, which is not listed
  表番号        【表１】 is followed by 【表３】
  化番号        【化１】 twice
  数番号        the first equation is 【数２】
  符号          "検出部３０" where the list gives 検出部 the sign ２０
  使用不可文字  a circled digit ①
  見出し        the misspelt heading 【発明の効杲】
  イメージ      the second figure is a colour picture at 96 dpi
  前記          claim 2 says 前記出力部, which neither it nor claim 1 introduces
  サポート      claim 1 names a 照合器 that the description never mentions
  表記揺れ      インタフェース in one paragraph, インターフェース in another
  様式          the title holds half-width characters: 文書検査装置 (見本)

With --clean the same application is written without the faults.

Usage: python3 make_check_sample.py [--clean] [OUTPUT]   (default: check-me.docx beside this script)
"""
import os
import struct
import sys
import zipfile
import zlib
from xml.sax.saxutils import escape

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_sample import ROOT_RELS, SETTINGS, STYLES, W  # noqa: E402


def paragraphs(clean):
    """The application as paragraphs: a string is a paragraph of text, ("table", rows) a
    table, ("picture", n) a paragraph holding picture n."""
    ok = lambda good, bad: good if clean else bad  # noqa: E731
    return [
        "【書類名】明細書",
        ok("【発明の名称】文書検査装置", "【発明の名称】文書検査装置 (見本)"),
        "【技術分野】",
        "【０００１】",
        "　本発明は、特許出願書類の誤りを出願前に検出する文書検査装置に関する。",
        "【背景技術】",
        "【０００２】",
        "　特許出願書類では、段落番号、請求項の引用、図の番号及び符号の整合が求められる。",
        "【先行技術文献】",
        "【特許文献】",
        "【０００３】",
        "　【特許文献１】特開２０２０－１２３４５６号公報",
        "【発明の概要】",
        "【発明が解決しようとする課題】",
        "【０００４】",
        "　従来、これらの整合は作成者が目視で確認しており、見落としが生じやすかった。",
        "【課題を解決するための手段】",
        ok("【０００５】", "【０００６】"),
        "　本発明の文書検査装置１は、文書を読み込む読込部１０と、誤りを検出する検出部２０と、"
        "検出結果を出力する出力部３０とを備える。",
        ok("【発明の効果】", "【発明の効杲】"),
        ok("【０００６】", "【０００７】"),
        "　本発明によれば、出願前に書類の誤りを確実に見つけることができる。",
        "【図面の簡単な説明】",
        ok("【０００７】", "【０００８】"),
        "　【図１】本発明の一実施形態に係る文書検査装置１の構成を示すブロック図である。",
        ok("　【図２】文書検査装置１の処理の流れを示すフローチャートである。",
           "　【図３】文書検査装置１の処理の流れを示すフローチャートである。"),
        "【発明を実施するための形態】",
        ok("【０００８】", "【０００９】"),
        "　以下、図面を参照して本発明の実施形態を説明する。図１に示すように、文書検査装置１は、"
        "読込部１０と、検出部２０と、出力部３０とを備える。文書は、インターフェースを介して読込部１０に渡される。",
        ok("【０００９】", "【００１０】"),
        ok("　読込部１０は、文書ファイルを読み込み、その本文を検出部２０に渡す。",
           "　読込部１０は、文書ファイルを読み込み、その本文を検出部３０に渡す。"),
        ok("【００１０】", "【００１１】"),
        ok("　図２に示すように、検出部２０は、段落番号の連続性を調べ（ステップＳ１）、"
           "その結果を出力部３０に渡す（ステップＳ２）。",
           "　図３に示すように、検出部２０は、段落番号の連続性を調べ（ステップＳ１）、"
           "その結果を出力部３０に渡す（ステップＳ２）。図４は省略する。"),
        ok("【００１１】", "【００１２】"),
        "　検出部２０が用いる判定基準を表１に示す。",
        "【表１】",
        ("table", [["項目", "判定"], ["段落番号", "連続"]]),
        ok("【００１２】", "【００１３】"),
        "　出力部３０が用いる書式を表２に示す。",
        ok("【表２】", "【表３】"),
        ("table", [["出力先", "書式"], ["画面", "一覧"]]),
        ok("【００１３】", "【００１４】"),
        ok("　検出部２０は、次の化合物名を例示として扱う。",
           "　検出部２０は、次の化合物名を例示として扱う（①）。"),
        "【化１】",
        "Ｃ６Ｈ６",
        ok("【化２】", "【化１】"),
        "Ｃ２Ｈ５ＯＨ",
        ok("【００１４】", "【００１５】"),
        "　誤りの数Ｎは、次式で求められる。",
        ok("【数１】", "【数２】"),
        "Ｎ＝Ａ＋Ｂ",
        "【産業上の利用可能性】",
        ok("【００１５】", "【００１６】"),
        ok("　本発明は、特許出願書類の作成に利用でき、インターフェースを通じて他の装置と連携できる。",
           "　本発明は、特許出願書類の作成に利用でき、インタフェースを通じて他の装置と連携できる。"),
        "【符号の説明】",
        ok("【００１６】", "【００１７】"),
        "　１　　文書検査装置",
        "　１０　読込部",
        "　２０　検出部",
        "　３０　出力部",
        "【書類名】特許請求の範囲",
        "【請求項１】",
        ok("　文書を読み込む読込部と、前記文書の誤りを検出する検出部と、を備える文書検査装置。",
           "　文書を読み込む読込部と、前記文書の誤りを検出する検出部と、照合器と、を備える文書検査装置。"),
        "【請求項２】",
        ok("　前記検出部は、段落番号の連続性を調べる、請求項１に記載の文書検査装置。",
           "　前記出力部は、段落番号の連続性を調べる、請求項１に記載の文書検査装置。"),
        "【請求項３】",
        ok("　前記検出部は、請求項の引用を調べる、請求項１に記載の文書検査装置。",
           "　前記検出部は、請求項の引用を調べる、請求項４に記載の文書検査装置。"),
        "【請求項４】",
        "　検出結果を出力する出力部を更に備える、請求項１又は２に記載の文書検査装置。",
        ok("【請求項５】", "【請求項６】"),
        ok("　検出結果を一覧で出力する出力部を更に備える、請求項１から３のいずれか一項に記載の文書検査装置。",
           "　検出結果を一覧で出力する出力部を更に備える、請求項１から４のいずれか一項に記載の文書検査装置。"),
        "【書類名】要約書",
        "【要約】",
        "【課題】特許出願書類の誤りを出願前に検出する。",
        "【解決手段】文書検査装置１は、読込部１０と検出部２０と出力部３０とを備える。",
        "【選択図】図１",
        "【書類名】図面",
        "【図１】",
        ("picture", 1),
        "【図２】",
        ("picture", 2),
    ]


def png(width, height, rows, colour, dpi):
    """A PNG from rows of 0/1 (colour False: 1-bit black and white) or of RGB triples."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    raw = b""
    for row in rows:
        if colour:
            raw += b"\0" + b"".join(bytes(px) for px in row)
        else:
            bits = 0
            line = bytearray()
            for i, px in enumerate(row):
                bits = (bits << 1) | (0 if px else 1)  # 1 = white
                if i % 8 == 7:
                    line.append(bits)
                    bits = 0
            if width % 8:
                line.append(bits << (8 - width % 8))
            raw += b"\0" + bytes(line)
    header = struct.pack(">IIBBBBB", width, height, 8 if colour else 1, 2 if colour else 0, 0, 0, 0)
    ppm = round(dpi / 0.0254)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"pHYs", struct.pack(">IIB", ppm, ppm, 1)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def pictures(clean):
    w, h = 64, 48
    frame = [[1 if x in (0, w - 1) or y in (0, h - 1) or x == y else 0 for x in range(w)] for y in range(h)]
    first = png(w, h, frame, False, 300)
    if clean:
        second = png(w, h, frame, False, 300)
    else:
        blue = [[(40, 80, 200) if px else (255, 255, 255) for px in row] for row in frame]
        second = png(w, h, blue, True, 96)
    return {1: first, 2: second}


def run_xml(text):
    return f'<w:r><w:t xml:space="preserve">{escape(text)}</w:t></w:r>'


def picture_xml(n):
    cx, cy = 64 * 9525 * 96 // 300, 48 * 9525 * 96 // 300
    return (
        f'<w:r><w:drawing><wp:inline distT="0" distB="0" distL="0" distR="0"><wp:extent cx="{cx}" cy="{cy}"/>'
        f'<wp:docPr id="{n}" name="図{n}"/>'
        '<a:graphic><a:graphicData uri="http://schemas.openxmlformats.org/drawingml/2006/picture">'
        f'<pic:pic><pic:nvPicPr><pic:cNvPr id="{n}" name="image{n}.png"/><pic:cNvPicPr/></pic:nvPicPr>'
        f'<pic:blipFill><a:blip r:embed="rIdImage{n}"/><a:stretch><a:fillRect/></a:stretch></pic:blipFill>'
        f'<pic:spPr><a:xfrm><a:off x="0" y="0"/><a:ext cx="{cx}" cy="{cy}"/></a:xfrm>'
        '<a:prstGeom prst="rect"><a:avLst/></a:prstGeom></pic:spPr></pic:pic>'
        "</a:graphicData></a:graphic></wp:inline></w:drawing></w:r>"
    )


def table_xml(rows):
    cells = lambda row: "".join(  # noqa: E731
        f'<w:tc><w:tcPr><w:tcW w:w="2000" w:type="dxa"/></w:tcPr><w:p>{run_xml(t)}</w:p></w:tc>' for t in row)
    return ('<w:tbl><w:tblPr><w:tblStyle w:val="TableGrid"/><w:tblW w:w="0" w:type="auto"/></w:tblPr>'
            '<w:tblGrid><w:gridCol w:w="2000"/><w:gridCol w:w="2000"/></w:tblGrid>' +
            "".join(f"<w:tr>{cells(row)}</w:tr>" for row in rows) + "</w:tbl>")


def document_xml_of(items):
    """The main part from paragraphs as paragraphs() gives them (text, tables, pictures)."""
    body = ""
    for p in items:
        if isinstance(p, str):
            body += f"<w:p>{run_xml(p)}</w:p>"
        elif p[0] == "table":
            body += table_xml(p[1])
        else:
            body += f"<w:p>{picture_xml(p[1])}</w:p>"
    return (
        '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
        f'<w:document xmlns:w="{W}" '
        'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships" '
        'xmlns:wp="http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing" '
        'xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main" '
        'xmlns:pic="http://schemas.openxmlformats.org/drawingml/2006/picture">'
        f"<w:body>{body}"
        '<w:sectPr><w:pgSz w:w="11906" w:h="16838"/>'
        '<w:pgMar w:top="1701" w:right="1701" w:bottom="1701" w:left="1701" w:header="851" w:footer="992" w:gutter="0"/>'
        '<w:docGrid w:type="lines" w:linePitch="360"/></w:sectPr>'
        "</w:body></w:document>"
    )


def document_xml(clean):
    return document_xml_of(paragraphs(clean))


CONTENT_TYPES = (
    '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
    '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
    '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
    '<Default Extension="xml" ContentType="application/xml"/>'
    '<Default Extension="png" ContentType="image/png"/>'
    '<Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/>'
    '<Override PartName="/word/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml"/>'
    '<Override PartName="/word/settings.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml"/>'
    '<Override PartName="/docProps/core.xml" ContentType="application/vnd.openxmlformats-package.core-properties+xml"/>'
    "</Types>"
)

DOC_RELS = (
    '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
    '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
    '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>'
    '<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/settings" Target="settings.xml"/>'
    '<Relationship Id="rIdImage1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/image" Target="media/image1.png"/>'
    '<Relationship Id="rIdImage2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/image" Target="media/image2.png"/>'
    "</Relationships>"
)

CORE = (
    '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
    '<cp:coreProperties xmlns:cp="http://schemas.openxmlformats.org/package/2006/metadata/core-properties" '
    'xmlns:dc="http://purl.org/dc/elements/1.1/" xmlns:dcterms="http://purl.org/dc/terms/" '
    'xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">'
    "<dc:title>文書検査装置（見本）</dc:title><dc:creator>Kalvendo</dc:creator>"
    '<dcterms:created xsi:type="dcterms:W3CDTF">2026-01-01T00:00:00Z</dcterms:created>'
    "</cp:coreProperties>"
)


def main():
    args = sys.argv[1:]
    clean = "--clean" in args
    args = [a for a in args if a != "--clean"]
    out = args[0] if args else os.path.join(os.path.dirname(os.path.abspath(__file__)), "check-me.docx")
    write_package(out, document_xml(clean), CORE, pictures(clean))


def write_package(out, document, core, images):
    """The package: the main part, its pictures and the fixed parts; the same input gives the same bytes."""
    parts = [
        ("[Content_Types].xml", CONTENT_TYPES.encode("utf-8")),
        ("_rels/.rels", ROOT_RELS.encode("utf-8")),
        ("word/document.xml", document.encode("utf-8")),
        ("word/_rels/document.xml.rels", DOC_RELS.encode("utf-8")),
        ("word/styles.xml", STYLES.encode("utf-8")),
        ("word/settings.xml", SETTINGS.encode("utf-8")),
        ("docProps/core.xml", core.encode("utf-8")),
    ]
    parts += [(f"word/media/image{n}.png", data) for n, data in sorted(images.items())]
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
        for name, data in parts:
            info = zipfile.ZipInfo(name, date_time=(2026, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, data)

if __name__ == "__main__":
    main()
