#!/usr/bin/env python3
"""Writes the short fixed corpus of the rich-text RTF reader's fuzz target:
documents with every destination, table, list and picture kind the reader
knows, and damaged ones it must survive."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, 'corpus', 'rv_rtf_reader')

FONTS = (r'{\fonttbl{\f0\fswiss\fcharset204 Arial;}{\f1\froman\fcharset0 Times New Roman Cyr;}'
         r'{\f2\fcharset2 Symbol;}}')
COLORS = r'{\colortbl;\red255\green0\blue0;\red0\green128\blue0;}'
HEAD = r'{\rtf1\ansi\ansicpg1251\deff0\uc1' + FONTS + COLORS


def dib(width, height):
    row = (width * 3 + 3) & ~3
    header = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, row * height, 0, 0, 0, 0)
    return header + bytes((x * 7) & 255 for x in range(row * height))


def doc(body):
    return (HEAD + body + '}').encode('latin-1')


SAMPLES = {
    'text.rtf': doc(r'\pard\qc\b \'cf\'f0\'e8\'e2\'e5\'f2\b0 , {\i world}\par\pard\fi-360\li720\sb120\sa60 second'
                    r'\line third\tab fourth\par \u1055?\u-3913 ?\~\emdash\par'),
    'styles.rtf': doc(r'{\stylesheet{\s0 Normal;}{\s1\sbasedon0\snext0\b Heading;}{\*\cs2\i Emph;}}'
                      r'\pard\plain\s1 head\par\pard\plain\f1\fs28\ul\cf1\highlight3 x\ulnone\strike y\caps z\super'
                      r' s\nosupersub\up6 u\dn4 d\charscalex50\expndtw20 w\par'),
    'borders.rtf': doc(r'\pard\brdrt\brdrs\brdrw15\brsp40\brdrl\brdrdb\brdrw30\brdrb\brdrtnthsg\brdrr\brdrhair'
                       r'\cbpat2\shading5000\cfpat1\tqr\tldot\tx1440\tqc\tx2880\keep\keepn\sl360\slmult1 bordered\par'),
    'table.rtf': doc(r'\trowd\trgaph108\trleft-108\trhdr\trbrdrt\brdrs\brdrw10\clbrdrt\brdrs\clcbpat1\clvmgf'
                     r'\cellx1000\clmgf\cellx2000\clmrg\cellx3000\pard\intbl a\cell b\cell c\cell\row'
                     r'\trowd\trleft0\clvmrg\cellx1000\cellx1500\cellx3000\pard\intbl\cell d\cell e\cell\row'
                     r'\trowd\lastrow\cellx900\pard\intbl f\cell\row\trowd\cellx2000\pard\intbl g\cell\row\pard after'),
    'nested.rtf': doc(r'\trowd\cellx3000\pard\intbl a\par\itap2 x\nestcell y\nestcell{\*\nesttableprops\trowd'
                      r'\cellx1000\cellx2000\nestrow}\itap1\cell\row\pard unfinished\intbl z\cell\pard end'),
    'engine_table.rtf': doc(r'\trowd\zorozudotbw300\zorozudocbw120\zorozudocbh40\cellx1000\zorozudocbw-30'
                            r'\cellx2000\pard\intbl\itap1 a\cell b\cell\row'),
    'lists.rtf': doc(r'{\*\listtable{\list\listtemplateid1\listid7{\listlevel\levelnfc0\levelstartat3'
                     r'{\leveltext\'02\'00.;}{\levelnumbers\'01;}\fi-360\li720}{\listlevel\levelnfc23\f2'
                     r'{\leveltext\'01\u-3913 ?;}{\levelnumbers;}\fi-360\li1440}{\listname Mine;}}}'
                     r'{\*\listoverridetable{\listoverride\listid7\listoverridecount1{\lfolevel\listoverridestartat'
                     r'\levelstartat5}\ls1}}\pard\ls1\fi-360\li720 one\par two\par\ilvl1 sub\par\pard plain\par'
                     r'{\pard{\*\pn\pnlvlblt\pnf2\pnindent360{\pntxtb\'b7}}\fi-360\li360 bullet\par}'
                     r'{\pard{\*\pn\pnlvlbody\pndec\pnstart2{\pntxta .}}\fi-360\li360 numbered\par}'),
    'fields.rtf': doc(r'{\field{\*\fldinst HYPERLINK "http://x.ru/a%20b" \\o "tip" \\l "part"}{\fldrslt link}}'
                      r'{\field{\*\fldinst SEQ Table \\* ROMAN \\r 4}{\fldrslt IV}}'
                      r'{\field{\*\fldinst {SEQ figure\\*alphabetic \\* MERGEFORMAT }}{\fldrslt {a}}}'
                      r'{\field{\*\fldinst SYMBOL 183 \\f "Symbol" \\s 10}{\fldrslt r}}'
                      r'{\field{\*\fldinst INCLUDEPICTURE "pic.bmp" \\* MERGEFORMAT}{\fldrslt x}}'
                      r'{\*\bkmkstart mark}{\*\bkmkend mark}after\page next'),
    'notes.rtf': doc(r'a{\super\chftn}{\footnote\pard\plain{\super\chftn} note \trowd\cellx1000\pard\intbl c\cell\row'
                     r'}b\chftn{\footnote\ftnalt\pard\chftn end}c{\header head}{\footer foot}'),
    'pictures.rtf': (HEAD + r'{\pict\dibitmap0\picw3\pich2\picwgoal45\pichgoal30\picscalex200 ' + dib(3, 2).hex()
                     + r'}{\*\shppict{\pict\pngblip 89504e470d0a1a0a}}{\nonshppict{\pict\wmetafile8\picw100\pich100 0102}}'
                     + r'{\pict\wbitmap0\picw2\pich2\wbmwidthbytes8\wbmbitspixel24 ' + '00' * 16 + '}'
                     + r'{\pict\dibitmap0{\bin' + str(len(dib(1, 1))) + ' ').encode('latin-1')
                    + dib(1, 1) + r'}}{\object\objemb{\*\objdata 0102}{\result r}}}'.encode('latin-1'),
    'docparams.rtf': doc(r'\paperw11906\paperh16838\margl1134\margr850\margt1134\margb1134\landscape\viewscale120'
                         r'\viewzk2\margmirror\headery709\footery709\sectd\pgnstart3 a'),
    'hidden.rtf': doc(r'a\par {\v hidden}b{\v\par}c'),
    'deep.rtf': (HEAD + '{' * 3000 + 'x' + '}' * 3000 + '}').encode('latin-1'),
    'bad_hex.rtf': doc(r"\'4x"),
    'bad_font_table.rtf': b'{\\rtf1{\\fonttbl Arial;}}',
    'bad_list.rtf': doc(r'{\*\listtable{\list\listid1{\listlevel{\leveltext\'01\'00;}}}}'
                        r'{\*\listoverridetable{\listoverride\listid2\ls1}}\pard\ls1 a\par\pard\ls1\ilvl5 b'),
    'bad_picture.rtf': doc(r'{\pict\jpegblip 00112233}{\pict{\pict 00}}'),
    'truncated.rtf': (HEAD + r'\trowd\cellx1000\pard\intbl a\cell{\pict\dibitmap0 0a0b').encode('latin-1'),
    'braces.rtf': b'}{\\rtf1 a}}}',
    'backslash_end.rtf': b'{\\rtf1 a\\',
    'bin_beyond.rtf': b'{\\rtf1\\bin99999 ab',
    'not_rtf.txt': 'Просто текст'.encode('cp1251'),
    'empty.rtf': b'',
}


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, data in SAMPLES.items():
        with open(os.path.join(OUT, name), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main()
