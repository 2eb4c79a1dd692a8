#!/usr/bin/env python3
"""Writes renumber-me.docx: a specification, its claims and its abstract under
three 【書類名】 sections, edited the way drafters leave them before
renumbering: a claim inserted in the middle (numbered 【請求項５】 and standing
between claims 2 and 3), and figure 2 deleted from the list, the drawings and
the description. For trying the item renumbering (task 7).

Usage: python3 make_renumber_sample.py [OUTPUT]   (default: renumber-me.docx beside this script)
"""
import os
import sys

from make_sample import H, P, SPLIT, write_sample

PARAGRAPHS = [
    H("【書類名】明細書"),
    H("【発明の名称】段落番号付与装置"),
    H("【技術分野】"),
    P("【０００１】"),
    P("　本発明は、文書の段落に番号を付与する装置に関する。"),
    H("【課題を解決するための手段】"),
    P("【０００２】"),
    P("　請求項１に係る装置は、文書を読み込む読込部と、段落の区切りを検出する検出部と、番号を付与する付与部とを備える。"),
    P("　請求項５に係る装置によれば、既存の番号が残っていても正しい番号が付与される。"),
    H("【図面の簡単な説明】"),
    P("【０００３】"),
    P("　【図１】本発明の一実施形態に係る装置の構成を示すブロック図である。"),
    P("　【図３】番号付与の処理の流れを示すフローチャートである。"),
    P("　【図４】表示画面の一例を示す図である。"),
    H("【発明を実施するための形態】"),
    P("【０００４】"),
    P("　図１に示すように、装置１は、読込部１０と、検出部２０と、付与部３０とを備える。"),
    P("　図３（ａ）は見出しの検出を、図３（ｂ）は文末の検出を示す。処理の結果は、図４に示す画面に表示される。"),
    P("　以上、図１～図４を参照して説明した。"),
    H("【書類名】特許請求の範囲"),
    SPLIT("【請求項", "１", "】"),
    P("　文書を読み込む読込部と、段落の区切りを検出する検出部と、番号を付与する付与部とを備える段落番号付与装置。"),
    SPLIT("【請求項", "２", "】"),
    P("　前記検出部は、見出しの後の改行を検出する、請求項１に記載の段落番号付与装置。"),
    SPLIT("【請求項", "５", "】"),
    P("　前記付与部は、既存の番号を置き換える、請求項１又は２に記載の段落番号付与装置。"),
    SPLIT("【請求項", "３", "】"),
    P("　前記検出部は、文末の改行を検出する、請求項２に記載の段落番号付与装置。"),
    SPLIT("【請求項", "４", "】"),
    P("　前記付与部は、番号を全角数字で書く、請求項１～３のいずれか一項に記載の段落番号付与装置。"),
    H("【書類名】要約書"),
    H("【要約】"),
    P("【課題】段落番号を自動的かつ正確に付与する。"),
    P("【解決手段】装置１は、読込部１０、検出部２０及び付与部３０を備える。"),
    P("【選択図】図１"),
    H("【書類名】図面"),
    P("【図１】"),
    P("【図３】"),
    P("【図４】"),
]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "renumber-me.docx")
    write_sample(out, PARAGRAPHS, "段落番号付与装置・番号振り直しの見本")


if __name__ == "__main__":
    main()
