#!/usr/bin/env python3
"""Writes the Qt Designer files of the voucher windows from a compact description of each.

Every voucher window has the same shape: a data-entry tab (customer search, grid, entry rows, a
replica of the printed form, print and exit) and a settings tab (calibration boxes in blocks, a
note, the edit and save buttons). The descriptions at the end of this file say what each window
holds; the look is made here once. Run from the repository root: python3 tools/voucherform.py
"""
from xml.sax.saxutils import escape

STYLE = '''QLineEdit[readOnly="true"] { background: #f4f4f4; color: #404040; }
#replica { background: #eaf4ea; border: 1px solid #6f8f6f; }
#replica QLabel { color: #2f5a2f; }
#replica QFrame[block="true"] { border: 1px solid #6f8f6f; }
#heading { font-size: 16pt; font-weight: bold; color: rgb(0,64,128); }
#replicaTitle { font-size: 14pt; font-weight: bold; letter-spacing: 6px; color: #2f5a2f; }
#replica QLineEdit { background: transparent; border: none; border-bottom: 1px solid #6f8f6f; color: #101010; }
#replica QLineEdit[cell="true"] { border: 1px solid #6f8f6f; background: #ffffff; }
#replica QLineEdit[editable="true"] { background: #ffffff; border: 1px solid #9fbf9f; }'''


class Writer:
    def __init__(self):
        self.out = []
        self.count = {}

    def auto(self, kind):
        self.count[kind] = self.count.get(kind, 0) + 1
        return f'{kind}_{self.count[kind]}'

    def w(self, s):
        self.out.append(s)


def prop(name, inner, stdset=True):
    extra = '' if stdset else ' stdset="0"'
    return f'<property name="{name}"{extra}>{inner}</property>'


def string(s):
    return f'<string>{escape(s)}</string>'


def size(w, h):
    return f'<size><width>{w}</width><height>{h}</height></size>'


def boolean(b):
    return f'<bool>{"true" if b else "false"}</bool>'


MAX = 16777215


def widget(wr, node):
    """Writes one <widget> for a leaf node (without the surrounding <item>)."""
    kind = node[0]
    if kind == 'label':
        _, name, text, *rest = node
        opts = rest[0] if rest else {}
        name = name or wr.auto('label')
        p = prop('text', string(text))
        if opts.get('center'):
            p += prop('alignment', '<set>Qt::AlignCenter</set>')
        if opts.get('wrap'):
            p += prop('wordWrap', boolean(True))
        if 'w' in opts or 'h' in opts:
            p += prop('minimumSize', size(opts.get('w', 0), opts.get('h', 0)))
        wr.w(f'<widget class="QLabel" name="{name}">{p}</widget>')
    elif kind == 'edit':
        _, name, *rest = node
        opts = rest[0] if rest else {}
        p = ''
        if 'w' in opts:
            p += prop('minimumSize', size(opts['w'], 0))
        if 'maxw' in opts:
            p += prop('maximumSize', size(opts['maxw'], MAX))
        if opts.get('ro'):
            p += prop('readOnly', boolean(True)) + prop('focusPolicy', '<enum>Qt::NoFocus</enum>')
        if opts.get('cell'):
            p += prop('alignment', '<set>Qt::AlignCenter</set>') + prop('cell', boolean(True), stdset=False)
        if opts.get('editable'):
            p += prop('editable', boolean(True), stdset=False)
        if 'text' in opts:
            p += prop('text', string(opts['text']))
        wr.w(f'<widget class="QLineEdit" name="{name}">{p}</widget>')
    elif kind == 'button':
        _, name, caption, *rest = node
        opts = rest[0] if rest else {}
        p = prop('text', string(caption))
        if opts.get('small'):
            p += prop('minimumSize', size(32, 28)) + prop('maximumSize', size(40, MAX))
        else:
            p += prop('minimumSize', size(opts.get('w', 84), 28))
        p += prop('autoDefault', boolean(True))
        wr.w(f'<widget class="QPushButton" name="{name}">{p}</widget>')
    elif kind == 'radio':
        _, name, text = node
        wr.w(f'<widget class="QRadioButton" name="{name}">{prop("text", string(text))}</widget>')
    elif kind == 'check':
        _, name, text = node
        wr.w(f'<widget class="QCheckBox" name="{name}">{prop("text", string(text))}</widget>')
    elif kind == 'combo':
        _, name, *rest = node
        opts = rest[0] if rest else {}
        wr.w(f'<widget class="QComboBox" name="{name}">{prop("minimumSize", size(opts.get("w", 120), 0))}</widget>')
    elif kind == 'date':
        _, name = node
        wr.w(f'<widget class="QDateEdit" name="{name}">{prop("calendarPopup", boolean(True))}'
             f'{prop("displayFormat", string("yyyy-MM-dd"))}{prop("minimumSize", size(120, 0))}</widget>')
    elif kind == 'table':
        _, name, minh, maxh = node
        wr.w(f'<widget class="QTableView" name="{name}">{prop("minimumSize", size(0, minh))}'
             f'{prop("maximumSize", size(MAX, maxh))}{prop("alternatingRowColors", boolean(True))}'
             f'{prop("selectionBehavior", "<enum>QAbstractItemView::SelectRows</enum>")}'
             f'{prop("selectionMode", "<enum>QAbstractItemView::SingleSelection</enum>")}'
             f'{prop("editTriggers", "<set>QAbstractItemView::NoEditTriggers</set>")}</widget>')
    elif kind == 'frame':
        _, name, child, *rest = node
        opts = rest[0] if rest else {}
        name = name or wr.auto('frame')
        p = ''
        if opts.get('block'):
            p += prop('block', boolean(True), stdset=False)
        if opts.get('panel'):
            p += prop('frameShape', '<enum>QFrame::StyledPanel</enum>')
        wr.w(f'<widget class="QFrame" name="{name}">{p}')
        layout(wr, child, margins=opts.get('margins', 8))
        wr.w('</widget>')
    elif kind == 'tabs':
        _, name, pages = node
        wr.w(f'<widget class="QTabWidget" name="{name}">{prop("currentIndex", "<number>0</number>")}')
        for page, title, child in pages:
            wr.w(f'<widget class="QWidget" name="{page}"><attribute name="title">{string(title)}</attribute>')
            layout(wr, child, margins=10)
            wr.w('</widget>')
        wr.w('</widget>')
    else:
        raise ValueError(kind)


def item(wr, node, attrs=''):
    kind = node[0]
    if kind == 'top':
        item(wr, node[1], attrs + ' alignment="Qt::AlignTop"')
    elif kind == 'stretch':
        name = wr.auto('hspace')
        wr.w(f'<item{attrs}><spacer name="{name}">{prop("orientation", "<enum>Qt::Horizontal</enum>")}'
             f'{prop("sizeHint", size(10, 10), stdset=False)}</spacer></item>')
    elif kind == 'vstretch':
        name = wr.auto('vspace')
        wr.w(f'<item{attrs}><spacer name="{name}">{prop("orientation", "<enum>Qt::Vertical</enum>")}'
             f'{prop("sizeHint", size(10, 10), stdset=False)}</spacer></item>')
    elif kind in ('h', 'v', 'grid'):
        wr.w(f'<item{attrs}>')
        layout(wr, node)
        wr.w('</item>')
    else:
        wr.w(f'<item{attrs}>')
        widget(wr, node)
        wr.w('</item>')


def layout(wr, node, margins=None):
    kind = node[0]
    opts = node[2] if len(node) > 2 else {}
    name = opts.get('name') or wr.auto('layout')
    cls = {'h': 'QHBoxLayout', 'v': 'QVBoxLayout', 'grid': 'QGridLayout'}[kind]
    wr.w(f'<layout class="{cls}" name="{name}">')
    if kind == 'grid':
        wr.w(prop('horizontalSpacing', f'<number>{opts.get("hspacing", 6)}</number>'))
        wr.w(prop('verticalSpacing', f'<number>{opts.get("vspacing", 6)}</number>'))
    else:
        wr.w(prop('spacing', f'<number>{opts.get("spacing", 6)}</number>'))
    m = opts.get('margins', margins if margins is not None else 0)
    for side in ('leftMargin', 'topMargin', 'rightMargin', 'bottomMargin'):
        wr.w(prop(side, f'<number>{m}</number>'))
    if kind == 'grid':
        for r, row in enumerate(node[1]):
            c = 0
            for cell in row:
                if cell is None:
                    c += 1
                    continue
                span, rows = 1, 1
                if cell[0] == 'span':
                    _, span, cell = cell
                elif cell[0] == 'rspan':
                    _, rows, cell = cell
                extra = (f' rowspan="{rows}"' if rows > 1 else '') + (f' colspan="{span}"' if span > 1 else '')
                item(wr, cell, f' row="{r}" column="{c}"{extra}')
                c += span
    else:
        for child in node[1]:
            item(wr, child)
    wr.w('</layout>')


def form(cls, title, root, tabstops=(), width=None):
    wr = Writer()
    wr.w('<?xml version="1.0" encoding="UTF-8"?>')
    wr.w('<!-- Written by tools/voucherform.py; change the description there. -->')
    wr.w('<ui version="4.0">')
    wr.w(f' <class>{cls}</class>')
    wr.w(f' <widget class="QWidget" name="{cls}">')
    wr.w('  ' + prop('windowTitle', string(title)))
    wr.w('  ' + prop('styleSheet', string(STYLE)))
    layout(wr, root, margins=6)
    wr.w(' </widget>')
    if tabstops:
        wr.w(' <tabstops>' + ''.join(f'<tabstop>{t}</tabstop>' for t in tabstops) + '</tabstops>')
    wr.w(' <resources/>')
    wr.w(' <connections/>')
    wr.w('</ui>')
    return '\n'.join(wr.out) + '\n'


# --- pieces shared by the vouchers -------------------------------------------------------------

def search_row(label, buttons):
    return ('h', [('label', 'label_Text43', label), ('edit', 'Text43', {'w': 220})]
            + [('button', n, c) for n, c in buttons] + [('stretch',)])


def ro(name, w=None, maxw=None):
    opts = {'ro': True}
    if w:
        opts['w'] = w
    if maxw:
        opts['maxw'] = maxw
    return ('edit', name, opts)


def cells(heads, names):
    """The digit cells of the replica: heads above, one read-only cell each, highest first."""
    return ('grid', [[('label', f'label_{n}', h, {'center': True}) for h, n in zip(heads, names)],
                     [('edit', n, {'ro': True, 'cell': True, 'w': 22, 'maxw': 22}) for n in names]],
            {'hspacing': 0, 'vspacing': 2})


def calibration_block(name, caption, rows, heads=('设置内容', '左右', '上下')):
    """A block of the settings tab: (label, x box or None, y box or None) per row."""
    grid = [[None, ('label', f'{name}Head0', heads[0], {'center': True}),
             ('label', f'{name}Head1', heads[1], {'center': True}),
             ('label', f'{name}Head2', heads[2], {'center': True})]]
    for i, (label, xbox, ybox) in enumerate(rows, 1):
        row = [None, ('label', f'{name}Row{i}', label, {'h': 24})]
        row.append(('edit', xbox, {'w': 70, 'maxw': 90}) if xbox else None)
        row.append(('edit', ybox, {'w': 70, 'maxw': 90}) if ybox else None)
        grid.append(row)
    if caption:
        grid[0][0] = ('label', f'{name}Caption', caption, {'wrap': True, 'center': True})
    return ('top', ('frame', name, ('grid', grid, {'hspacing': 10, 'vspacing': 6, 'margins': 8}),
                    {'panel': True, 'margins': 8}))


def button_row(buttons, name):
    return ('h', [('stretch',)] + [('button', n, c) for n, c in buttons], {'name': name})


ELEVEN_HEADS = ['亿', '千', '百', '十', '万', '千', '百', '十', '元', '角', '分']
ELEVEN_CELLS = ['Text29', 'Text18', 'Text17', 'Text16', 'Text15', 'Text14', 'Text13', 'Text12', 'Text11',
                'Text10', 'Text9']


def party_block(name, caption, rows, editable=False):
    """A payer or payee block of the replica: the caption standing upright, then label/field rows."""
    grid = []
    for label, field in rows:
        if isinstance(field, list):  # several boxes on one line
            grid.append([None, ('label', f'label_{field[0][1]}', label), ('h', field)])
            continue
        box = ('edit', field, {'w': 200, 'editable': True}) if editable else ro(field, w=200)
        grid.append([None, ('label', f'label_{field}', label), box])
    grid[0][0] = ('rspan', len(rows), ('label', f'{name}Caption', '\n'.join(caption), {'center': True}))
    return ('frame', name, ('grid', grid, {'hspacing': 6, 'vspacing': 6}), {'block': True, 'margins': 6})


# --- the windows -------------------------------------------------------------------------------

def jzddy():
    entry = ('v', [
        search_row('请输入收款人名称', [('Command8', '简称查找(&J)'), ('Command5', '查找(&F)'),
                                  ('Command4', '刷新(&R)'), ('Command2', '点此选择')]),
        ('table', 'DataGrid1', 110, 150),
        ('h', [('date', 'DTPicker1'), ('button', 'Command1', '确定日期'),
               ('label', 'label_Text8', '请输入金额'), ('edit', 'Text8', {'w': 140}),
               ('stretch',)]),
        ('h', [('label', 'label_Text4', '票据种类'), ('edit', 'Text4', {'w': 90, 'maxw': 120, 'text': '支票'}),
               ('label', 'label_Text5', '票据号码'), ('edit', 'Text5', {'w': 150}),
               ('label', 'label_Text6', '票据张数'), ('edit', 'Text6', {'w': 40, 'maxw': 60, 'text': '1'}),
               ('label', 'label_Text19', '用途'), ('edit', 'Text19', {'w': 180}),
               ('button', 'Command9', '...', {'small': True}), ('stretch',)]),
        ('frame', 'replica', ('v', [
            ('label', 'replicaTitle', '进  账  单', {'center': True}),
            ('h', [('stretch',), ('label', 'label_Text33', '委托日期'), ro('Text33', maxw=52),
                   ('label', 'label_Text34', '年'), ro('Text34', maxw=30), ('label', 'label_Text35', '月'),
                   ro('Text35', maxw=30), ('label', 'label_day', '日'), ('stretch',)]),
            ('h', [party_block('remitterBlock', '汇款人',
                               [('全  称', 'Text3'), ('帐号或地址', 'Text22'), ('汇出行名称', 'Text30')]),
                   party_block('payeeBlock', '收款人',
                               [('全  称', 'Text25'), ('帐号或地址', 'Text2'), ('汇入行名称', 'Text23')])],
             {'spacing': 8}),
            ('h', [('label', 'label_Text28', '人民币\n(大写)'), ro('Text28', w=300), ('stretch',),
                   cells(ELEVEN_HEADS, ELEVEN_CELLS)]),
            ('h', [('label', 'label_Text21', '票据种类'), ro('Text21', w=90, maxw=120),
                   ('label', 'label_Text24', '票据号码'), ro('Text24', w=150),
                   ('label', 'label_Text26', '票据张数'), ro('Text26', w=40, maxw=60),
                   ('label', 'label_Text20', '用途'), ro('Text20', w=200), ('stretch',)]),
        ], {'spacing': 8, 'margins': 10}), {'margins': 10}),
        button_row([('Command3', '打印(&P)'), ('Command7', '退出(&X)')], 'printRow'),
    ], {'spacing': 8})
    settings = ('v', [
        ('h', [calibration_block('slipBlock', None, [
            ('整体', 'Text57', 'Text58'), ('日期年', 'Text42', 'Text46'), ('日期月', 'Text44', None),
            ('日期日', 'Text45', None), ('付款人名称', 'Text47', 'Text48'), ('付款人账号', None, 'Text49'),
            ('汇出行名称', None, 'Text50'), ('收款人名称', 'Text61', None), ('收款人账号', None, None),
            ('汇入行名称', None, None)]),
               calibration_block('amountBlock', None, [
                   ('人民币大写', 'Text51', 'Text52'), ('人民币小写', 'Text67', 'Text68'), ('小写间隔', 'Text66', None),
                   ('票据种类', 'Text53', 'Text54'), ('票据号码', 'Text71', 'Text72'), ('票据张数', 'Text55', 'Text56'),
                   ('用途', 'Text63', 'Text65')]),
               ('stretch',)], {'spacing': 16}),
        ('label', 'label_note', '数字减小为左或上，反之为右或下(数值可为负,单位为毫米)'),
        ('vstretch',),
        button_row([('cmdPreview', '套打预览(&Y)'), ('Command10', '修改'), ('Command6', ' 保存')], 'settingsButtons'),
    ], {'spacing': 10})
    root = ('v', [('tabs', 'SSTab1', [('tabPrint', '进账单打印', entry), ('tabSettings', '进账单打印设置', settings)])])
    return form('jzddy', '进账单打印', root, tabstops=[
        'Text43', 'Command8', 'Command5', 'Command4', 'Command2', 'DataGrid1', 'DTPicker1', 'Command1', 'Text8',
        'Text4', 'Text5', 'Text6', 'Text19', 'Command9', 'Command3', 'Command7'])


def jkddy():
    entry = ('v', [
        search_row('请输入交款人的公司名称', [('Command8', '简称查找(&J)'), ('Command5', '查找(&F)'),
                                      ('Command4', '刷新(&R)'), ('Command2', '点此选择')]),
        ('table', 'DataGrid1', 110, 150),
        ('h', [('label', 'label_Text40', '单   号'), ('edit', 'Text40', {'w': 150}),
               ('date', 'DTPicker1'), ('button', 'Command1', '确定日期'),
               ('label', 'label_Text8', '请输入金额'), ('edit', 'Text8', {'w': 140}), ('stretch',)]),
        ('h', [('label', 'label_Text4', '票据种类'), ('edit', 'Text4', {'w': 100}),
               ('label', 'label_Text5', '单位地址'), ('edit', 'Text5', {'w': 220}),
               ('label', 'label_Text19', '用途'), ('edit', 'Text19', {'w': 160}),
               ('button', 'Command9', '...', {'small': True}),
               ('label', 'label_Text6', '备注'), ('edit', 'Text6', {'w': 140}), ('stretch',)]),
        ('frame', 'replica', ('v', [
            ('label', 'replicaTitle', '交  款  通  知  单', {'center': True}),
            ('h', [('stretch',), ('label', 'label_Text33', '开票日期'), ro('Text33', maxw=52),
                   ('label', 'label_Text34', '年'), ro('Text34', maxw=30), ('label', 'label_Text35', '月'),
                   ro('Text35', maxw=30), ('label', 'label_day', '日'), ('stretch',)]),
            ('h', [party_block('payerBlock', '交款人',
                               [('全  称', 'Text3'), ('帐  号', 'Text22'), ('汇出行', 'Text30')], True),
                   party_block('payeeBlock', '收款人',
                               [('全  称', 'Text25'), ('帐  号', 'Text2'), ('汇入行', 'Text23')], True)],
             {'spacing': 8}),
            ('h', [('label', 'label_Text28', '金额 人民币\n(大写)'), ro('Text28', w=300), ('stretch',),
                   cells(ELEVEN_HEADS, ELEVEN_CELLS)]),
            ('grid', [[('label', 'label_Text21', '票据种类'), ('edit', 'Text21', {'editable': True}),
                       ('label', 'label_Text24', '单位地址'), ('edit', 'Text24', {'editable': True})],
                      [('label', 'label_Text20', '用  途'), ('edit', 'Text20', {'editable': True}),
                       ('label', 'label_Text26', '备  注'), ('edit', 'Text26', {'editable': True})]],
             {'hspacing': 8, 'vspacing': 6}),
        ], {'spacing': 8, 'margins': 10}), {'margins': 10}),
        button_row([('Command11', '打印(&P)'), ('Command7', '退出(&X)')], 'printRow'),
    ], {'spacing': 8})
    settings = ('v', [
        ('h', [calibration_block('mainBlock', None, [('主联整体', 'Text57', 'Text58'), ('间隔线一', None, 'Text36')]),
               calibration_block('copyBlock', None, [('副联整体', 'Text42', 'Text46'), ('间隔线二', None, 'Text37')]),
               ('stretch',)], {'spacing': 16}),
        ('label', 'label_note', '数字减小为左或上，反之为右或下(数值可为负,单位为毫米)'),
        ('vstretch',),
        button_row([('cmdPreview', '套打预览(&Y)'), ('Command10', '修改'), ('Command6', ' 保存')], 'settingsButtons'),
    ], {'spacing': 10})
    root = ('v', [('tabs', 'SSTab1', [('tabPrint', '交款单打印', entry), ('tabSettings', '交款单打印设置', settings)])])
    return form('jkddy', '交款单打印', root, tabstops=[
        'Text43', 'Command8', 'Command5', 'Command4', 'Command2', 'DataGrid1', 'Text40', 'DTPicker1', 'Command1',
        'Text8', 'Text4', 'Text5', 'Text19', 'Command9', 'Text6', 'Command11', 'Command7'])


def typed_date_row(number_label, before=()):
    return ('h', list(before) + [('label', 'label_Text39', number_label), ('edit', 'Text39', {'w': 150}),
                                  ('edit', 'Text32', {'w': 52, 'maxw': 60}), ('label', 'label_Text32', '年'),
                                  ('edit', 'Text36', {'w': 30, 'maxw': 40}), ('label', 'label_Text36', '月'),
                                  ('edit', 'Text37', {'w': 30, 'maxw': 40}), ('label', 'label_Text37', '日'),
                                  ('button', 'Command1', '确定日期(&Q)'), ('stretch',)])


def bank_replica(title, date_label, payer, payer_rows, words_label, extra_rows):
    return ('frame', 'replica', ('v', [
        ('label', 'replicaTitle', title, {'center': True}),
        ('h', [('stretch',), ('label', 'label_Text33', date_label), ro('Text33', maxw=52),
               ('label', 'label_Text34', '年'), ro('Text34', maxw=30), ('label', 'label_Text35', '月'),
               ro('Text35', maxw=30), ('label', 'label_day', '日'), ('stretch',)]),
        ('h', [party_block('payerBlock', payer, payer_rows),
               party_block('payeeBlock', '收款人',
                           [('全  称', 'Text25'), ('帐号或地址', 'Text2'), (payer_rows[2][0].replace('汇出', '汇入'), 'Text23')])],
         {'spacing': 8}),
        ('h', [('label', 'label_Text28', words_label), ro('Text28', w=300), ('stretch',),
               cells(ELEVEN_HEADS, ELEVEN_CELLS)]),
    ] + extra_rows, {'spacing': 8, 'margins': 10}), {'margins': 10})


def jhdhpz():
    root = ('v', [
        search_row('请输入收款人公司名称', [('Command9', '简称查找(&J)'), ('Command5', '查找(&F)'),
                                    ('Command4', '刷新(&R)'), ('Command6', '选择(&S)')]),
        ('table', 'DataGrid1', 110, 150),
        typed_date_row('请输入凭证号码'),
        ('h', [('label', 'label_Text8', '请输入金额'), ('edit', 'Text8', {'w': 140}),
               ('label', 'label_Text19', '请输入用途'), ('edit', 'Text19', {'w': 200}),
               ('button', 'Command8', '…', {'small': True}), ('stretch',)]),
        ('h', [('label', 'label_method', '汇款方式'), ('check', 'Check1', '普通'), ('check', 'Check2', '加急'),
               ('label', 'label_Text40', '支付密码'), ('edit', 'Text40', {'w': 160}),
               ('button', 'Command2', '点此选择'), ('stretch',)]),
        bank_replica('中国建设银行  电汇凭证', '委托日期', '汇款人',
                     [('全  称', 'Text3'), ('帐号或地址', 'Text22'), ('汇出行名称', 'Text30')], '金额 人民币\n(大写)',
                     [('h', [('label', 'label_Text20', '附加信息及用途'), ro('Text20', w=300), ('stretch',),
                             ('label', 'label_seal', '付出行签章', {'w': 120})])]),
        button_row([('cmdPreview', '套打预览(&Y)'), ('Command3', '打印(&P)'), ('Command7', '退出(&X)')], 'printRow'),
    ], {'spacing': 8})
    return form('jhdhpz', '中国建设银行电汇凭证打印', root, tabstops=[
        'Text43', 'Command9', 'Command5', 'Command4', 'Command6', 'DataGrid1', 'Text39', 'Text32', 'Text36', 'Text37',
        'Command1', 'Text8', 'Text19', 'Command8', 'Check1', 'Check2', 'Text40', 'Command2', 'Command3', 'Command7'])


def nhjsywsqs():
    root = ('v', [
        search_row('请输入收件人公司名称', [('Command8', '简称查找(&J)'), ('Command5', '查找(&F)'),
                                    ('Command4', '刷新(&R)'), ('Command2', '选择(&S)')]),
        ('table', 'DataGrid1', 110, 150),
        typed_date_row('请输入申请书号码'),
        ('h', [('label', 'label_Text8', '请输入金额'), ('edit', 'Text8', {'w': 140}),
               ('label', 'label_Text19', '请输入用途'), ('edit', 'Text19', {'w': 200}),
               ('button', 'Command6', '…', {'small': True}),
               ('label', 'label_Text42', '支付密码'), ('edit', 'Text42', {'w': 150}), ('stretch',)]),
        ('h', [('label', 'label_type', '业务类型'), ('check', 'Check3', '电汇'), ('check', 'Check4', '信汇'),
               ('check', 'Check5', '汇票'), ('check', 'Check6', '本票'), ('check', 'Check7', '其它'),
               ('label', 'label_method', '汇款方式'), ('check', 'Check1', '普通'), ('check', 'Check2', '加急'),
               ('stretch',)], {'spacing': 10}),
        bank_replica('中国农业银行  结算业务申请书', '申请日期', '申请人',
                     [('全  称', 'Text3'), ('帐号或地址', 'Text22'), ('开户行名称', 'Text30')], '金额(大写)\n人民币',
                     [('h', [('label', 'label_Text20', '附加信息及用途'), ro('Text20', w=300), ('stretch',),
                             ('label', 'label_seal', '付出行签章', {'w': 120})]),
                      ('h', [('label', 'label_customer', '客户填写'), ('stretch',),
                             ('label', 'label_bank', '银行打印'), ('stretch',),
                             ('label', 'label_choose', '请选择收款人名称')])]),
        button_row([('cmdPreview', '套打预览(&Y)'), ('Command3', '打印(&P)'), ('Command7', '退出(&X)')], 'printRow'),
    ], {'spacing': 8})
    return form('nhjsywsqs', '中国农业银行结算业务申请书', root, tabstops=[
        'Text43', 'Command8', 'Command5', 'Command4', 'Command2', 'DataGrid1', 'Text39', 'Text32', 'Text36', 'Text37',
        'Command1', 'Text8', 'Text19', 'Command6', 'Text42', 'Check3', 'Check4', 'Check5', 'Check6', 'Check7',
        'Check1', 'Check2', 'Command3', 'Command7'])


def layout_block(name, heads, rows):
    """A block of layout boxes: heads, then rows (label, x box, y box) or groups
    ('group', caption, rows) whose caption stands upright beside their rows."""
    grid = [[None] + [('label', f'{name}Head{i}', h, {'center': True}) for i, h in enumerate(heads)]]
    n = 0

    def add(label, xbox, ybox):
        nonlocal n
        n += 1
        grid.append([None, ('label', f'{name}Row{n}', label, {'h': 24}),
                     ('edit', xbox, {'w': 60, 'maxw': 80}) if xbox else None,
                     ('edit', ybox, {'w': 60, 'maxw': 80}) if ybox else None])

    for row in rows:
        if row[0] == 'group':
            _, caption, inner = row
            first = len(grid)
            for r in inner:
                add(*r)
            grid[first][0] = ('rspan', len(inner), ('label', f'{name}Group{first}', '\n'.join(caption.split()),
                                                    {'center': True}))
        else:
            add(*row)
    return ('top', ('frame', name, ('grid', grid, {'hspacing': 8, 'vspacing': 4, 'margins': 8}),
                    {'panel': True, 'margins': 6}))


def tydhpz():
    entry = ('v', [
        search_row('请输入收件人公司名称', [('Command8', '简称查找(&J)'), ('Command5', '查找(&F)'),
                                    ('Command4', '刷新(&R)'), ('Command6', '选择(&S)')]),
        ('table', 'DataGrid1', 100, 140),
        ('h', [('label', 'label_Text39', '请输入凭证号码'), ('edit', 'Text39', {'w': 150}),
               ('date', 'DTPicker1'), ('button', 'Command1', '确定日期(&Q)'),
               ('label', 'label_Text8', '请输入金额'), ('edit', 'Text8', {'w': 130}), ('stretch',)]),
        ('h', [('label', 'label_Text19', '请输入用途'), ('edit', 'Text19', {'w': 200}),
               ('button', 'Command2', '…', {'small': True}),
               ('label', 'label_Text40', '支付密码'), ('edit', 'Text40', {'w': 150}),
               ('radio', 'Option1', '打印汇入地点'), ('radio', 'Option2', '不打印汇入地点'),
               ('button', 'Command9', '记注此设置'), ('stretch',)]),
        ('frame', 'replica', ('v', [
            ('label', 'replicaTitle', '电  汇  凭  证', {'center': True}),
            ('h', [('stretch',), ('label', 'label_Text33', '委托日期'), ro('Text33', maxw=52),
                   ('label', 'label_Text34', '年'), ro('Text34', maxw=30), ('label', 'label_Text35', '月'),
                   ro('Text35', maxw=30), ('label', 'label_day', '日'), ('stretch',)]),
            ('h', [party_block('payerBlock', '付款人', [
                       ('全  称', 'Text3'), ('帐号或地址', 'Text22'),
                       ('汇出地点', [ro('Text4', w=60), ('label', 'label_Text5a', '省'), ro('Text5', w=80),
                                 ('label', 'label_Text5b', '市/县')]),
                       ('汇出行名称', 'Text30')]),
                   party_block('payeeBlock', '收款人', [
                       ('全  称', 'Text25'), ('帐号或地址', 'Text2'),
                       ('汇入地点', [ro('Text6', w=60), ('label', 'label_Text21a', '省'), ro('Text21', w=80),
                                 ('label', 'label_Text21b', '市/县')]),
                       ('汇入行名称', 'Text23')])],
             {'spacing': 8}),
            ('h', [('label', 'label_Text28', '金额 人民币\n(大写)'), ro('Text28', w=300), ('stretch',),
                   cells(ELEVEN_HEADS, ELEVEN_CELLS)]),
            ('h', [('label', 'label_Text20', '附加信息及用途'), ('edit', 'Text20', {'w': 300, 'editable': True}),
                   ('stretch',)]),
        ], {'spacing': 6, 'margins': 8}), {'margins': 8}),
        button_row([('Command3', '打印(&P)'), ('Command7', '退出(&X)')], 'printRow'),
    ], {'spacing': 6})
    heads = ('设置内容', '左右', '上下')
    settings = ('v', [
        ('h', [layout_block('leftBlock', heads, [
                   ('整体调整', 'Text83', 'Text84'), ('委托日期年', 'Text85', 'Text86'), ('委托日期月', 'Text87', None),
                   ('委托日期日', 'Text88', None), ('付款人全称', 'Text89', 'Text90'), ('付款人帐号或地址', None, 'Text92'),
                   (' 付款人银行名称', None, 'Text98'), ('付款人地点省/市', 'Text93', 'Text94'),
                   ('付款人地点市/县', 'Text95', None), ('金额小写间隔', 'Text117', None), ('密码间隔', 'Text118', None)]),
               layout_block('rightBlock', heads, [
                   ('收款人全称', 'Text99', None), ('收款人帐号或地址', None, None), ('收款人银行名称', None, None),
                   ('收款人地点省/市', 'Text103', None), ('收款人地点市/县', 'Text105', None),
                   ('人民币大写', 'Text109', 'Text110'), ('人民币小写', 'Text111', 'Text112'),
                   ('支付密码', 'Text113', 'Text114'), ('附加信息及用途', 'Text115', 'Text116')]),
               ('stretch',)], {'spacing': 16}),
        ('label', 'label_note', '注：数字减小为左或上，增大为右或下，单位为毫米，可为负数'),
        ('vstretch',),
        button_row([('cmdPreview', '套打预览(&Y)'), ('Command13', '修改(&M)'), ('Command12', '保存(&S)'), ('Command11', '取消(&C)'),
                    ('Command10', '退出(&X)')], 'settingsButtons'),
    ], {'spacing': 10})
    root = ('v', [('tabs', 'SSTab1', [('tabPrint', '通用电汇凭证打印', entry),
                                      ('tabSettings', '通用电汇凭证打印机设置', settings)])])
    return form('tydhpz', '通用电汇凭证打印', root, tabstops=[
        'Text43', 'Command8', 'Command5', 'Command4', 'Command6', 'DataGrid1', 'Text39', 'DTPicker1', 'Command1',
        'Text8', 'Text19', 'Command2', 'Text40', 'Option1', 'Option2', 'Command9', 'Command3', 'Command7'])


def tydysz():
    heads = ('设置内容', '左右', '上下')
    root = ('v', [
        ('label', 'heading', '通 用 凭 证 打 印 设 置', {'center': True}),
        ('h', [layout_block('leftHalf', heads, [
                   ('整体调整', 'Text1', 'Text2'), ('委托日期月', 'Text3', 'Text4'),
                   ('group', '付 款 人', [('全  称', 'Text5', 'Text6'), ('帐号或地址', 'Text7', 'Text8'),
                                       ('汇出地点省/市', 'Text9', 'Text10'), ('汇出地点市/县', 'Text11', 'Text12'),
                                       ('汇出行名称', 'Text13', 'Text14')]),
                   ('人民币大写', 'Text15', 'Text16'), ('支付密码', 'Text17', 'Text18')]),
               layout_block('rightHalf', heads, [
                   ('委托日期年', 'Text19', 'Text20'), ('委托日期日', 'Text21', 'Text22'),
                   ('group', '收 款 人', [('全   称', 'Text23', 'Text24'), ('帐号或地址', 'Text25', 'Text26'),
                                       ('汇入地点省/市', 'Text27', 'Text28'), ('汇入地点市/县', 'Text29', 'Text30'),
                                       ('汇入行名称', 'Text31', 'Text32')]),
                   ('人民币小写', 'Text33', 'Text34'), ('附加信息及用途', 'Text35', 'Text36')])],
         {'spacing': 12}),
        ('h', [('label', 'label_Text74', '金额小写间隔'), ('edit', 'Text74', {'w': 60, 'maxw': 80}),
               ('label', 'label_Text73', '密码间隔'), ('edit', 'Text73', {'w': 60, 'maxw': 80}), ('stretch',)]),
        ('label', 'label_note', '注：数字减小为左或上，增大为右或下，单位为毫米，可为负数'),
        button_row([('Command1', '修改(&M)'), ('Command2', '保存(&S)'), ('Command3', '取消(&C)'),
                    ('Command4', '退出(&X)')], 'buttons'),
    ], {'spacing': 10, 'margins': 12})
    return form('tydysz', '通用凭证打印设置', root)


def pldy():
    root = ('v', [
        ('h', [('label', 'label_Combo1', '凭证种类'), ('combo', 'Combo1', {'w': 130}),
               ('label', 'label_Text1', '数据文件'), ('edit', 'Text1', {'w': 360, 'ro': True}),
               ('button', 'Command1', '打开(&O)…'), ('button', 'Command2', '重新读取(&R)'),
               ('button', 'Command3', '保存模板(&T)…'), ('stretch',)]),
        ('table', 'DataGrid1', 320, 16777215),
        ('label', 'Label1', '请选择凭证种类，打开付款清单（.xlsx、.xls 或 .csv）。', {'wrap': True}),
        ('h', [('check', 'Check1', '30天内重复的付款也打印'), ('stretch',),
               ('button', 'Command4', '打印(&P)'), ('button', 'Command5', '保存为PDF(&S)…'),
               ('button', 'Command6', '退出(&X)')], {'name': 'buttons'}),
    ], {'spacing': 8, 'margins': 10})
    return form('pldy', '批量打印', root)


FORMS = {
    'src/vouchers/jzddy.ui': jzddy,
    'src/vouchers/jkddy.ui': jkddy,
    'src/vouchers/jhdhpz.ui': jhdhpz,
    'src/vouchers/nhjsywsqs.ui': nhjsywsqs,
    'src/vouchers/tydhpz.ui': tydhpz,
    'src/vouchers/tydysz.ui': tydysz,
    'src/batch/pldy.ui': pldy,
}

def main():
    """Writes every form; with --check, writes nothing and exits 1 naming each form that differs."""
    import sys
    check = '--check' in sys.argv[1:]
    differ = []
    for path, make in FORMS.items():
        text = make()
        if check:
            try:
                with open(path, encoding='utf-8') as f:
                    same = f.read() == text
            except FileNotFoundError:
                same = False
            if not same:
                differ.append(path)
        else:
            with open(path, 'w', encoding='utf-8') as f:
                f.write(text)
    if differ:
        print('not as tools/voucherform.py writes them: ' + ', '.join(differ))
        sys.exit(1)


if __name__ == '__main__':
    main()
