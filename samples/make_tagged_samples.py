#!/usr/bin/env python3
"""Writes two tagged bilingual working documents for trying the deletion task
(task code 2), both tasks in a row (3) and colour-coding (4):

  tagged-en-ja.docx  English source, each passage followed by its Japanese
                     translation (direction 英日)
  tagged-ja-en.docx  Japanese source followed by the English translation
                     (direction 日英)

Tag paragraphs mark the passages: "--/H" opens a paragraph (or a heading),
"--/M" and "--/E" separate the sentences of one paragraph, "--/D" starts a
paragraph after an empty line, "--/Y" joins without a blank, and after "--/Z"
the text is kept as it is (reference signs, say). A paragraph number such as
【０００１】 standing alone after "--/H" is the heading of the paragraph that
follows.

Usage: python3 make_tagged_samples.py [FOLDER]   (default: beside this script)
"""
import os
import sys
import zipfile
from xml.sax.saxutils import escape

W = "http://schemas.openxmlformats.org/wordprocessingml/2006/main"

# (source, translation) pairs; a plain string is a tag or a lone paragraph.
EN_JA = [
    "--/H",
    ("[Technical Field]", "【技術分野】"),
    "--/H",
    "【０００１】",
    "--/M",
    ("The present invention relates to a substrate processing apparatus.",
     "本発明は、基板処理装置に関する。"),
    "--/M",
    ("More specifically, it relates to an apparatus that forms a thin film at 200°C or lower.",
     "より詳しくは、２００℃以下で薄膜を形成する装置に関する。"),
    "--/H",
    ("[Background Art]", "【背景技術】"),
    "--/H",
    "【０００２】",
    "--/M",
    ("Conventionally, the temperature inside the processing vessel has been kept constant by a heater.",
     "従来、処理容器の内部の温度は、ヒータによって一定に保たれていた。"),
    "--/M",
    ("However, the thickness of the film sometimes varied between the center and the edge of the wafer.",
     "しかし、ウエハの中央と端とで膜の厚さがばらつくことがあった。"),
    "--/D",
    ("Patent Literature 1: JP 2010-123456 A", "特許文献１：特開２０１０－１２３４５６号公報"),
    "--/H",
    ("[Summary of Invention]", "【発明の概要】"),
    "--/H",
    "【０００３】",
    "--/M",
    ("The apparatus includes a processing vessel 10, a heater 12 and a controller 30.",
     "本装置は、処理容器１０と、ヒータ１２と、制御部３０とを備える。"),
    "--/M",
    ("The controller 30 changes the output of the heater 12 according to the measured temperature.",
     "制御部３０は、測定された温度に応じてヒータ１２の出力を変える。"),
    "--/M",
    ("The film therefore grows evenly over the whole wafer.",
     "このため、膜はウエハの全体にわたって均一に成長する。"),
    "--/Z",
    "【符号の説明】",
    "１０　処理容器",
    "１２　ヒータ",
    "３０　制御部",
]

JA_EN = [
    "--/H",
    ("【技術分野】", "[Technical Field]"),
    "--/H",
    "【０００１】",
    "--/M",
    ("本発明は、基板処理装置に関する。",
     "The present invention relates to a substrate processing apparatus."),
    "--/M",
    ("特に、CVD法によって薄膜を形成する装置に関する。",
     "In particular, it relates to an apparatus that forms a thin film by CVD."),
    "--/H",
    ("【背景技術】", "[Background Art]"),
    "--/H",
    "【０００２】",
    "--/M",
    ("従来、処理容器の内部の温度は、ヒータによって一定に保たれていた。",
     "Conventionally, the temperature inside the processing vessel has been kept constant by a heater."),
    "--/E",
    ("しかし、ウエハの中央と端とで膜の厚さがばらつくことがあった。",
     "However, the thickness of the film sometimes varied (between the center and the edge of the wafer)"),
    "--/M",
    ("本発明は、このような課題を解決するためになされたものである。",
     "The present invention has been made to solve this problem."),
    "--/H",
    ("【発明を実施するための形態】", "[Description of Embodiments]"),
    "--/H",
    "【０００３】",
    "--/M",
    ("図１に示すように、装置１は、処理容器１０と、ヒータ１２と、制御部３０とを備える。",
     "As shown in FIG. 1, the apparatus 1 includes a processing vessel 10, a heater 12 and a controller 30."),
    "--/M",
    ("制御部３０は、温度センサ２０の出力に応じて、ヒータ１２の出力を変える。",
     "The controller 30 changes the output of the heater 12 according to the output of the temperature sensor 20."),
    "--/M",
    ("出力Ｐは、次の式で与えられる。",
     "The output P is given by the following equation:"),
    "--/Y",
    " P = P0 + k (T0 - T)",
    "--/Z",
    "1　apparatus",
    "10　processing vessel",
    "12　heater",
    "20　temperature sensor",
    "30　controller",
]


def paragraph(text, source):
    # Source passages in a serif font, translations and tags plain; one run
    # is cut in two as editing leaves it.
    props = '<w:rPr><w:rFonts w:ascii="Times New Roman" w:hAnsi="Times New Roman"/></w:rPr>' if source else ""
    cut = len(text) // 2 if len(text) > 12 else len(text)
    runs = "".join(
        f'<w:r>{props}<w:t xml:space="preserve">{escape(part)}</w:t></w:r>'
        for part in (text[:cut], text[cut:]) if part)
    return f"<w:p>{runs}</w:p>"


def document_xml(items):
    body = []
    for item in items:
        if isinstance(item, tuple):
            source, translation = item
            body.append(paragraph(source, True))
            body.append(paragraph(translation, False))
        else:
            body.append(paragraph(item, False))
    body.append("<w:p/>")
    return (
        '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
        f'<w:document xmlns:w="{W}" '
        'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">'
        "<w:body>" + "".join(body) +
        '<w:sectPr><w:pgSz w:w="11906" w:h="16838"/>'
        '<w:pgMar w:top="1701" w:right="1701" w:bottom="1701" w:left="1701" w:header="851" w:footer="992" w:gutter="0"/>'
        "</w:sectPr></w:body></w:document>")


STYLES = (
    '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
    f'<w:styles xmlns:w="{W}"><w:docDefaults><w:rPrDefault><w:rPr>'
    '<w:rFonts w:ascii="Century" w:eastAsia="ＭＳ 明朝" w:hAnsi="Century"/><w:sz w:val="21"/>'
    '<w:lang w:val="en-US" w:eastAsia="ja-JP"/></w:rPr></w:rPrDefault></w:docDefaults>'
    '<w:style w:type="paragraph" w:default="1" w:styleId="a"><w:name w:val="Normal"/>'
    '<w:pPr><w:widowControl w:val="0"/><w:jc w:val="both"/></w:pPr></w:style></w:styles>')

CONTENT_TYPES = (
    '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
    '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
    '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
    '<Default Extension="xml" ContentType="application/xml"/>'
    '<Override PartName="/word/document.xml" '
    'ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/>'
    '<Override PartName="/word/styles.xml" '
    'ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml"/>'
    "</Types>")

ROOT_RELS = (
    '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
    '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
    '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" '
    'Target="word/document.xml"/></Relationships>')

DOCUMENT_RELS = (
    '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
    '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
    '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" '
    'Target="styles.xml"/></Relationships>')


def write(path, items):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        # A fixed date keeps the files byte for byte the same on every run.
        for name, data in (("[Content_Types].xml", CONTENT_TYPES), ("_rels/.rels", ROOT_RELS),
                           ("word/document.xml", document_xml(items)),
                           ("word/_rels/document.xml.rels", DOCUMENT_RELS), ("word/styles.xml", STYLES)):
            info = zipfile.ZipInfo(name, date_time=(2026, 12, 7, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, data.encode("utf-8"))


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    for name, items in (("tagged-en-ja.docx", EN_JA), ("tagged-ja-en.docx", JA_EN)):
        path = os.path.join(folder, name)
        write(path, items)
        print(path)


if __name__ == "__main__":
    main()
