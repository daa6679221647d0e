#!/usr/bin/env python3
"""Writes the short fixed corpus of the component stream's fuzz target:
sound streams of the page control and its sheets, and a few that the reader
must refuse."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
SIGNATURE = b'\xa7CS\x01'


def text(s):
    data = s.encode('cp1251')
    return struct.pack('<I', len(data)) + data


def integer(name, value):
    return text(name) + b'\x01' + struct.pack('<q', value)


def string(name, value):
    return text(name) + b'\x03' + text(value)


def reference(name, value):
    return text(name) + b'\x06' + text(value)


def obj(name, *props):
    return text(name) + b'\x07' + struct.pack('<I', len(props)) + b''.join(props)


def component(cls, props=(), children=()):
    return (text(cls) + struct.pack('<I', len(props)) + b''.join(props) +
            struct.pack('<I', len(children)) + b''.join(children))


def sheet(name, caption, *more):
    return component('TAdvTabSheet', [string('Name', name), string('Caption', caption)] + list(more))


PAGES = SIGNATURE + component('TAdvPageControl', [
    string('Name', 'Pages'), integer('Width', 400), integer('Height', 300),
    reference('ActivePage', 'Second'),
    obj('ActiveFont', string('Name', 'Tahoma'), text('Style') + b'\x05\x01\x01'),
    obj('TabMargin', integer('LeftMargin', 4), integer('RightMargin', 2)),
    integer('TabPosition', 1), integer('MultiLine', 1),
], [sheet('First', '&Тестируемые'), sheet('Second', '&Группы', integer('Highlighted', 1)),
    sheet('Third', 'Hidden', integer('TabVisible', 0), integer('TabEnable', 0))])

CORPUS = {
    'pages': PAGES,
    'lone_sheet': SIGNATURE + sheet('Sheet', 'Caption', integer('ShowClose', 1)),
    'plain_component': SIGNATURE + component('TComponent', [string('Name', 'Plain')]),
    'unknown_class': SIGNATURE + component('TNothing'),
    'unknown_reference': PAGES.replace(reference('ActivePage', 'Second'), reference('ActivePage', 'Secund')),
    'wrong_kind': SIGNATURE + component('TAdvTabSheet', [text('Caption') + b'\x01' + struct.pack('<q', 5)]),
    'cut': PAGES[:len(PAGES) // 2],
    'empty': b'',
}

if __name__ == '__main__':
    folder = os.path.join(HERE, 'corpus', 'component_stream')
    os.makedirs(folder, exist_ok=True)
    for name, data in CORPUS.items():
        with open(os.path.join(folder, name), 'wb') as f:
            f.write(data)
