#!/usr/bin/env python3
"""Writes a pair of documents for trying the translation check (task code 8):

  translate-me-ja.docx    a short Japanese application (明細書 with its headings,
                          a table, an equation and 【符号の説明】, 特許請求の範囲
                          with four claims, 要約書, 図面 with two figures)
  translate-me-en.docx    its English translation, with one deliberate fault of
                          each kind the check reports:

    対応      [0006] is missing
    数値      the stage is 5 μm thick instead of 5 mm ([0008])
    符号      the substrate 10 is called "board 10" in [0004]
    請求項    claim 3 cites claim 1 only instead of claim 1 or 2
    図表引用  [0009] cites FIG. 3 instead of FIG. 2
    未翻訳    a Japanese word is left in [0010]
    用語      流れ図 is translated "flow diagram", where the glossary
              translate-glossary.txt says "flowchart"

With --clean the translation is written without the faults.

Usage: python3 make_translation_samples.py [--clean] [FOLDER]   (default: beside this script)
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_check_sample import document_xml_of, pictures, write_package  # noqa: E402
from make_sample import core_xml  # noqa: E402

JAPANESE = [
    "【書類名】明細書",
    "【発明の名称】基板処理装置",
    "【技術分野】",
    "【０００１】",
    "　本発明は、基板を加熱する基板処理装置に関する。",
    "【背景技術】",
    "【０００２】",
    "　従来、基板１０は、ヒータ２０によって２００℃に加熱されていた（特許文献１）。",
    "【先行技術文献】",
    "【特許文献】",
    "【０００３】",
    "　【特許文献１】特開２０１０－１２３４５６号公報",
    "【発明の概要】",
    "【発明が解決しようとする課題】",
    "【０００４】",
    "　しかし、基板１０の温度が１０～２０℃ばらつくことがあった。",
    "【課題を解決するための手段】",
    "【０００５】",
    "　本発明の基板処理装置１は、基板１０を載せるステージ３０と、ステージ３０を加熱するヒータ２０と、"
    "ヒータ２０を制御する制御部４０とを備える。",
    "【発明の効果】",
    "【０００６】",
    "　本発明によれば、基板１０の温度のばらつきを２つの段階で抑えることができる。",
    "【図面の簡単な説明】",
    "【０００７】",
    "【図１】基板処理装置１の断面図である。",
    "【図２】制御部４０の処理を示す流れ図である。",
    "【発明を実施するための形態】",
    "【０００８】",
    "　図１に示すように、基板処理装置１は、ステージ３０と、ヒータ２０と、制御部４０とを備える。"
    "ステージ３０の厚さは５ｍｍである。",
    "【０００９】",
    "　図２に示すように、制御部４０は、第１の工程で温度を測定し、第２の工程でヒータ２０の出力を１．５倍に変える。",
    "【００１０】",
    "　表１に、測定した温度を示す。",
    "【表１】",
    ("table", [["位置", "温度"], ["中央", "２００℃"], ["端", "１９５℃"]]),
    "【００１１】",
    "　ヒータ２０の出力Ｐは、式（１）で求める。",
    "【数１】",
    "　Ｐ＝Ｋ×ΔＴ",
    "【符号の説明】",
    "【００１２】",
    "　１　基板処理装置",
    "　１０　基板",
    "　２０　ヒータ",
    "　３０　ステージ",
    "　４０　制御部",
    "【書類名】特許請求の範囲",
    "【請求項１】",
    "　基板を載せるステージと、前記ステージを加熱するヒータと、前記ヒータを制御する制御部とを備える基板処理装置。",
    "【請求項２】",
    "　前記制御部は、前記基板の温度を測定する、請求項１に記載の基板処理装置。",
    "【請求項３】",
    "　前記制御部は、前記ヒータの出力を１．５倍に変える、請求項１又は２に記載の基板処理装置。",
    "【請求項４】",
    "　請求項１～３のいずれか一項に記載の基板処理装置を用いて基板を加熱する基板処理方法。",
    "【書類名】要約書",
    "【要約】",
    "【課題】基板の温度のばらつきを抑える。",
    "【解決手段】基板処理装置１は、ステージ３０と、ヒータ２０と、制御部４０とを備える。",
    "【選択図】図１",
    "【書類名】図面",
    "【図１】",
    ("picture", 1),
    "【図２】",
    ("picture", 2),
]


def english(clean):
    ok = lambda good, bad: good if clean else [bad] if isinstance(bad, str) else bad  # noqa: E731
    return [
        "DESCRIPTION",
        "Title of Invention: SUBSTRATE PROCESSING APPARATUS",
        "Technical Field",
        "[0001]",
        "The present invention relates to a substrate processing apparatus that heats a substrate.",
        "Background Art",
        "[0002]",
        "Conventionally, a substrate 10 has been heated to 200°C by a heater 20 (Patent Literature 1).",
        "Citation List",
        "Patent Literature",
        "[0003]",
        "Patent Literature 1: JP 2010-123456 A",
        "Summary of Invention",
        "Technical Problem",
        "[0004]",
        *ok(["However, the temperature of the substrate 10 sometimes varied by 10 to 20°C."],
            "However, the temperature of the board 10 sometimes varied by 10 to 20°C."),
        "Solution to Problem",
        "[0005]",
        "A substrate processing apparatus 1 of the present invention includes a stage 30 on which the substrate 10 "
        "is placed, a heater 20 that heats the stage 30, and a controller 40 that controls the heater 20.",
        "Advantageous Effects of Invention",
        *ok(["[0006]", "According to the present invention, variation in the temperature of the substrate 10 can be "
             "suppressed in two stages."], []),
        "Brief Description of Drawings",
        "[0007]",
        "FIG. 1 is a cross-sectional view of the substrate processing apparatus 1.",
        *ok(["FIG. 2 is a flowchart showing the processing of the controller 40."],
            "FIG. 2 is a flow diagram showing the processing of the controller 40."),
        "Description of Embodiments",
        "[0008]",
        "As shown in FIG. 1, the substrate processing apparatus 1 includes the stage 30, the heater 20 and the "
        "controller 40. " + ("The thickness of the stage 30 is 5 mm." if clean else "The thickness of the stage 30 is 5 μm."),
        "[0009]",
        ("As shown in FIG. 2" if clean else "As shown in FIG. 3") +
        ", the controller 40 measures the temperature in a first step and changes the output of the heater 20 to "
        "1.5 times in a second step.",
        "[0010]",
        "Table 1 shows the measured temperatures." if clean else "Table 1 shows the measured 温度.",
        "[Table 1]",
        ("table", [["Position", "Temperature"], ["Center", "200°C"], ["Edge", "195°C"]]),
        "[0011]",
        "The output P of the heater 20 is obtained by Formula (1).",
        "[Math. 1]",
        "P = K × ΔT",
        "Reference Signs List",
        "[0012]",
        "1 substrate processing apparatus",
        "10 substrate",
        "20 heater",
        "30 stage",
        "40 controller",
        "CLAIMS",
        "1. A substrate processing apparatus comprising: a stage on which a substrate is placed; a heater that heats "
        "the stage; and a controller that controls the heater.",
        "2. The substrate processing apparatus according to claim 1, wherein the controller measures a temperature of "
        "the substrate.",
        "3. The substrate processing apparatus according to " + ("claim 1 or 2" if clean else "claim 1") +
        ", wherein the controller changes an output of the heater to 1.5 times.",
        "4. A substrate processing method of heating a substrate by using the substrate processing apparatus according "
        "to any one of claims 1 to 3.",
        "ABSTRACT",
        "Problem: To suppress variation in the temperature of a substrate.",
        "Solution: A substrate processing apparatus 1 includes a stage 30, a heater 20 and a controller 40.",
        "Selected Drawing: FIG. 1",
        "DRAWINGS",
        "FIG. 1",
        ("picture", 1),
        "FIG. 2",
        ("picture", 2),
    ]


def main():
    args = sys.argv[1:]
    clean = "--clean" in args
    args = [a for a in args if a != "--clean"]
    folder = args[0] if args else os.path.dirname(os.path.abspath(__file__))
    for name, paragraphs, title in (("translate-me-ja.docx", JAPANESE, "基板処理装置（見本）"),
                                    ("translate-me-en.docx", english(clean), "Substrate processing apparatus (sample)")):
        write_package(os.path.join(folder, name), document_xml_of(paragraphs), core_xml(title), pictures(True))
    with open(os.path.join(folder, "translate-glossary.txt"), "w", encoding="utf-8", newline="\n") as f:
        f.write("# 原語<TAB>訳語\n流れ図\tflowchart\n基板処理装置\tsubstrate processing apparatus\n")


if __name__ == "__main__":
    main()
