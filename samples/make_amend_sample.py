#!/usr/bin/env python3
"""Writes amend-before.docx and amend-after.docx: a short Japanese patent
application as filed and as a drafter amended it after an office action, for
trying the written amendment (task code 9). The amended version

  changes a few words of 【０００３】 and 【０００８】,
  inserts a paragraph after 【０００５】 and renumbers the rest (as task 1 does),
  deletes 【０００７】,
  narrows claim 1 and adds a claim 4,
  reworded the abstract's 【課題】.

Usage: python3 make_amend_sample.py [FOLDER]   (default: beside this script)
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_sample import write_sample  # noqa: E402

BEFORE = [
    "【書類名】明細書",
    "【発明の名称】締結装置",
    "【技術分野】",
    "【０００１】",
    "　本発明は、ボルトとナットとで部材を締結する締結装置に関する。",
    "【背景技術】",
    "【０００２】",
    "　従来、振動を受ける機械では、ボルトの緩みを防ぐためにばね座金が用いられている。",
    "【発明が解決しようとする課題】",
    "【０００３】",
    "　しかし、ばね座金は繰り返しの振動で弾性を失い、緩みを防げなくなる。",
    "【課題を解決するための手段】",
    "【０００４】",
    "　本発明の締結装置１は、ボルト１０と、ナット２０と、座金３０とを備える。",
    "【０００５】",
    "　座金３０は、ナット２０に向かう面に複数の歯３１を有する。",
    "【発明の効果】",
    "【０００６】",
    "　歯３１がナット２０に食い込むため、振動を受けても緩みにくい。",
    "【発明を実施するための形態】",
    "【０００７】",
    "　以下、図面を参照して実施形態を説明する。",
    "【０００８】",
    "　座金３０は鋼で形成され、歯３１は八つ設けられる。",
    "【０００９】",
    "　ボルト１０とナット２０は、市販のものでよい。",
    "【書類名】特許請求の範囲",
    "【請求項１】",
    "　ボルトと、ナットと、前記ナットに向かう面に歯を有する座金とを備える締結装置。",
    "【請求項２】",
    "　前記座金は鋼で形成される請求項１に記載の締結装置。",
    "【請求項３】",
    "　前記歯は八つ設けられる請求項１又は２に記載の締結装置。",
    "【書類名】要約書",
    "【要約】",
    "【課題】振動を受けても緩みにくい締結装置を提供する。",
    "【解決手段】座金３０は、ナット２０に向かう面に複数の歯３１を有する。",
]


def amended():
    lines = list(BEFORE)

    def replace(old, new):
        i = lines.index(old)
        lines[i:i + 1] = new

    replace("　しかし、ばね座金は繰り返しの振動で弾性を失い、緩みを防げなくなる。",
            ["　しかし、ばね座金は繰り返しの振動で次第に弾性を失い、やがて緩みを防げなくなる。"])
    replace("【発明の効果】", ["【０００６】", "　歯３１は、座金３０の周方向に等間隔に並ぶ。", "【発明の効果】"])
    replace("【０００７】", [])
    replace("　以下、図面を参照して実施形態を説明する。", [])
    replace("　座金３０は鋼で形成され、歯３１は八つ設けられる。", ["　座金３０はばね鋼で形成され、歯３１は八つ設けられる。"])
    replace("　ボルトと、ナットと、前記ナットに向かう面に歯を有する座金とを備える締結装置。",
            ["　ボルトと、ナットと、前記ナットに向かう面に周方向に等間隔に並ぶ複数の歯を有する座金とを備える締結装置。"])
    replace("【書類名】要約書", ["【請求項４】", "　前記座金はばね鋼で形成される請求項２に記載の締結装置。", "【書類名】要約書"])
    replace("【課題】振動を受けても緩みにくい締結装置を提供する。", ["【課題】繰り返し振動を受けても緩みにくい締結装置を提供する。"])
    # Paragraph numbers made consecutive again, as task 1 leaves them.
    n = 0
    for i, line in enumerate(lines):
        if len(line) == 6 and line.startswith("【０") and line.endswith("】"):
            n += 1
            lines[i] = "【" + str(n).zfill(4).translate(str.maketrans("0123456789", "０１２３４５６７８９")) + "】"
    return lines


def as_runs(lines):
    return [[(line, False)] for line in lines]


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    write_sample(os.path.join(folder, "amend-before.docx"), as_runs(BEFORE), "締結装置（出願時）")
    write_sample(os.path.join(folder, "amend-after.docx"), as_runs(amended()), "締結装置（補正後）")


if __name__ == "__main__":
    main()
