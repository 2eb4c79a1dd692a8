#!/usr/bin/env python3
"""Writes tokkyo-meisaisho.docx: a short Japanese patent specification with
headings, sentence-final paragraphs and a few stale paragraph numbers, for
trying paragraph numbering (task 0) and renumbering (task 1).

Usage: python3 make_sample.py [OUTPUT]   (default: tokkyo-meisaisho.docx beside this script)
"""
import os
import sys
import zipfile
from xml.sax.saxutils import escape

# Each paragraph: a list of runs (text, bold). Runs of one number are split
# the way word processors often store them.
H = lambda text: [(text, True)]             # heading
P = lambda text: [(text, False)]            # plain paragraph
SPLIT = lambda a, b, c: [(a, False), (b, False), (c, False)]

PARAGRAPHS = [
    H("【書類名】明細書"),
    H("【発明の名称】段落番号付与装置"),
    H("【技術分野】"),
    P("【０００１】"),
    P("　本発明は、文書の段落に番号を付与する装置に関する。"),
    H("【背景技術】"),
    SPLIT("【", "０００３", "】"),
    P("　従来、特許明細書の段落番号は、作成者が手作業で付与していた。"),
    P("　段落を追加し、又は削除するたびに番号を付け直す必要があり、誤りが生じやすかった。"),
    H("【先行技術文献】"),
    H("【特許文献】"),
    P("【０００４】"),
    P("　【特許文献１】特開２０２０－１２３４５６号公報"),
    H("【発明の概要】"),
    H("【発明が解決しようとする課題】"),
    P("【０００７】"),
    P("　本発明は、段落番号を自動的かつ正確に付与することを目的とする。"),
    H("【課題を解決するための手段】"),
    SPLIT("【０", "００", "６】"),
    P("　上記課題を解決するため、本発明の装置は、文書を読み込む読込部と、段落の区切りを検出する検出部と、"
      "番号を付与する付与部とを備える。"),
    H("【発明の効果】"),
    P("　本発明によれば、段落番号の誤りを防ぐことができる。 "),
    H("【図面の簡単な説明】"),
    P("【０００９】"),
    P("　【図１】本発明の一実施形態に係る装置の構成を示すブロック図である。"),
    H("【発明を実施するための形態】"),
    P("【００１０】"),
    P("　以下、図面を参照して、本発明の実施形態を説明する。"),
    P("　図１に示すように、装置１は、読込部１０と、検出部２０と、付与部３０とを備える。"),
    P("【００１２】"),
    P("　読込部１０は、文書ファイルを読み込み、その本文を検出部２０に渡す。"),
    P("　検出部２０は、見出しと文末の改行とを検出する。"),
    H("【産業上の利用可能性】"),
    P("　本発明は、特許出願書類の作成に利用できる。"),
    H("【符号の説明】"),
    P("【００２０】"),
    P("　１　　装置"),
    P("　１０　読込部"),
    P("　２０　検出部"),
    P("　３０　付与部"),
]

W = "http://schemas.openxmlformats.org/wordprocessingml/2006/main"


def run_xml(text, bold):
    props = "<w:rPr><w:b/></w:rPr>" if bold else ""
    return f'<w:r>{props}<w:t xml:space="preserve">{escape(text)}</w:t></w:r>'


def document_xml(paragraphs):
    body = "".join("<w:p>" + "".join(run_xml(t, b) for t, b in runs) + "</w:p>" for runs in paragraphs)
    return (
        '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
        f'<w:document xmlns:w="{W}" '
        'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">'
        f"<w:body>{body}"
        '<w:sectPr><w:pgSz w:w="11906" w:h="16838"/>'
        '<w:pgMar w:top="1701" w:right="1701" w:bottom="1701" w:left="1701" w:header="851" w:footer="992" w:gutter="0"/>'
        '<w:docGrid w:type="lines" w:linePitch="360"/></w:sectPr>'
        "</w:body></w:document>"
    )


STYLES = (
    '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
    f'<w:styles xmlns:w="{W}">'
    "<w:docDefaults><w:rPrDefault><w:rPr>"
    '<w:rFonts w:ascii="IPAMincho" w:eastAsia="IPAMincho" w:hAnsi="IPAMincho" w:cs="IPAMincho"/>'
    '<w:sz w:val="24"/><w:szCs w:val="24"/><w:lang w:val="en-US" w:eastAsia="ja-JP"/>'
    "</w:rPr></w:rPrDefault><w:pPrDefault/></w:docDefaults>"
    '<w:style w:type="paragraph" w:default="1" w:styleId="Normal"><w:name w:val="Normal"/>'
    '<w:pPr><w:widowControl w:val="0"/><w:jc w:val="both"/></w:pPr></w:style>'
    "</w:styles>"
)

SETTINGS = (
    '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
    f'<w:settings xmlns:w="{W}"><w:defaultTabStop w:val="840"/>'
    '<w:compat><w:compatSetting w:name="compatibilityMode" w:uri="http://schemas.microsoft.com/office/word" w:val="15"/>'
    "</w:compat></w:settings>"
)

CONTENT_TYPES = (
    '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
    '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
    '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
    '<Default Extension="xml" ContentType="application/xml"/>'
    '<Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/>'
    '<Override PartName="/word/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml"/>'
    '<Override PartName="/word/settings.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml"/>'
    '<Override PartName="/docProps/core.xml" ContentType="application/vnd.openxmlformats-package.core-properties+xml"/>'
    "</Types>"
)

ROOT_RELS = (
    '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
    '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
    '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/>'
    '<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties" Target="docProps/core.xml"/>'
    "</Relationships>"
)

DOC_RELS = (
    '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
    '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
    '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>'
    '<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/settings" Target="settings.xml"/>'
    "</Relationships>"
)

def core_xml(title):
    return (
        '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
        '<cp:coreProperties xmlns:cp="http://schemas.openxmlformats.org/package/2006/metadata/core-properties" '
        'xmlns:dc="http://purl.org/dc/elements/1.1/" xmlns:dcterms="http://purl.org/dc/terms/" '
        'xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">'
        f"<dc:title>{escape(title)}</dc:title><dc:creator>Kalvendo</dc:creator>"
        '<dcterms:created xsi:type="dcterms:W3CDTF">2026-01-01T00:00:00Z</dcterms:created>'
        "</cp:coreProperties>"
    )


def write_sample(out, paragraphs, title):
    """Writes the paragraphs as a .docx; the same input gives the same bytes."""
    parts = [
        ("[Content_Types].xml", CONTENT_TYPES),
        ("_rels/.rels", ROOT_RELS),
        ("word/document.xml", document_xml(paragraphs)),
        ("word/_rels/document.xml.rels", DOC_RELS),
        ("word/styles.xml", STYLES),
        ("word/settings.xml", SETTINGS),
        ("docProps/core.xml", core_xml(title)),
    ]
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
        for name, data in parts:
            info = zipfile.ZipInfo(name, date_time=(2026, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, data.encode("utf-8"))


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "tokkyo-meisaisho.docx")
    write_sample(out, PARAGRAPHS, "段落番号付与装置（見本）")


if __name__ == "__main__":
    main()
