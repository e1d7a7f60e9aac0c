#!/usr/bin/env python3
"""Writes the Qt Designer file of a simple data form: heading, label/field rows, grid, buttons.

The reference windows share one shape; their .ui files are generated from the table at the end of
this file so that a change of look is made once. Run from the repository root: python3 tools/formgen.py
"""
from xml.sax.saxutils import escape

def prop(name, inner):
    return f'<property name="{name}">{inner}</property>'

def string(s):
    return f'<string>{escape(s)}</string>'

def form(cls, title, heading=None, fields=(), grid=None, grid_hint=None, buttons=(), extra_top=(),
         width=520, search=None):
    o = []
    o.append('<?xml version="1.0" encoding="UTF-8"?>')
    o.append('<!-- Written by tools/formgen.py; change the description there. -->')
    o.append('<ui version="4.0">')
    o.append(f' <class>{cls}</class>')
    o.append(f' <widget class="QWidget" name="{cls}">')
    o.append('  ' + prop('windowTitle', string(title)))
    o.append('  ' + prop('minimumSize', f'<size><width>{width}</width><height>0</height></size>'))
    # Locked fields stay readable: the browsing state shows the row in them.
    o.append('  ' + prop('styleSheet', string('QLineEdit:disabled { color: #303030; background: #f2f2f2; }')))
    o.append('  <layout class="QVBoxLayout" name="outer">')
    o.append('   ' + prop('spacing', '<number>10</number>'))
    for m in ('leftMargin', 'topMargin', 'rightMargin', 'bottomMargin'):
        o.append('   ' + prop(m, '<number>16</number>'))
    for name, text in extra_top:
        o.append(f'   <item><widget class="QLabel" name="{name}">{prop("text", string(text))}'
                 f'{prop("alignment", "<set>Qt::AlignCenter</set>")}</widget></item>')
    if heading:
        o.append(f'   <item><widget class="QLabel" name="heading">{prop("text", string(heading))}'
                 f'{prop("alignment", "<set>Qt::AlignCenter</set>")}'
                 f'{prop("styleSheet", string("font-size: 16pt; font-weight: bold; color: rgb(0,64,128);"))}'
                 '</widget></item>')
    if fields:
        o.append('   <item><layout class="QFormLayout" name="fields">')
        o.append('    ' + prop('labelAlignment', '<set>Qt::AlignRight|Qt::AlignVCenter</set>'))
        o.append('    ' + prop('horizontalSpacing', '<number>10</number>'))
        o.append('    ' + prop('verticalSpacing', '<number>8</number>'))
        for row, (label, name) in enumerate(fields):
            if label is None:
                continue
            o.append(f'    <item row="{row}" column="0"><widget class="QLabel" name="label_{name}">'
                     f'{prop("text", string(label))}</widget></item>')
            o.append(f'    <item row="{row}" column="1"><widget class="QLineEdit" name="{name}">'
                     f'{prop("minimumSize", "<size><width>320</width><height>0</height></size>")}</widget></item>')
        o.append('   </layout></item>')
    if search:
        # A search row above the grid: label, field, buttons.
        label, field, search_buttons = search
        o.append('   <item><layout class="QHBoxLayout" name="search">')
        o.append('    ' + prop('spacing', '<number>8</number>'))
        o.append(f'    <item><widget class="QLabel" name="label_{field}">{prop("text", string(label))}'
                 f'{prop("buddy", f"<cstring>{field}</cstring>")}</widget></item>')
        o.append(f'    <item><widget class="QLineEdit" name="{field}">'
                 f'{prop("minimumSize", "<size><width>200</width><height>0</height></size>")}</widget></item>')
        for name, caption in search_buttons:
            o.append(f'    <item><widget class="QPushButton" name="{name}">{prop("text", string(caption))}'
                     f'{prop("minimumSize", "<size><width>84</width><height>30</height></size>")}'
                     f'{prop("autoDefault", "<bool>true</bool>")}</widget></item>')
        o.append('    <item><spacer name="searchEnd"><property name="orientation"><enum>Qt::Horizontal</enum></property></spacer></item>')
        o.append('   </layout></item>')
    if grid_hint:
        o.append(f'   <item><widget class="QLabel" name="hint">{prop("text", string(grid_hint))}</widget></item>')
    if grid:
        o.append(f'   <item><widget class="QTableView" name="{grid}">'
                 f'{prop("minimumSize", "<size><width>0</width><height>220</height></size>")}'
                 f'{prop("selectionBehavior", "<enum>QAbstractItemView::SelectRows</enum>")}'
                 f'{prop("selectionMode", "<enum>QAbstractItemView::SingleSelection</enum>")}'
                 f'{prop("editTriggers", "<set>QAbstractItemView::NoEditTriggers</set>")}'
                 f'{prop("alternatingRowColors", "<bool>true</bool>")}'
                 '</widget></item>')
    if buttons:
        o.append('   <item><layout class="QHBoxLayout" name="buttons">')
        o.append('    <item><spacer name="left"><property name="orientation"><enum>Qt::Horizontal</enum></property></spacer></item>')
        for name, caption in buttons:
            o.append(f'    <item><widget class="QPushButton" name="{name}">{prop("text", string(caption))}'
                     f'{prop("minimumSize", "<size><width>84</width><height>30</height></size>")}'
                     f'{prop("autoDefault", "<bool>true</bool>")}</widget></item>')
        o.append('    <item><spacer name="right"><property name="orientation"><enum>Qt::Horizontal</enum></property></spacer></item>')
        o.append('   </layout></item>')
    o.append('  </layout>')
    o.append(' </widget>')
    o.append(' <resources/>')
    o.append(' <connections/>')
    o.append('</ui>')
    return '\n'.join(o) + '\n'

EDIT5 = [("Command1", "修改(&M)"), ("Command2", "取消(&C)"), ("Command3", "保存(&S)"), ("Command4", "退出(&X)")]
FORMS = {
    'src/reference/bssz.ui': dict(cls='bssz', title='本公司设置', heading='本 公 司 设 置',
        fields=[("公司名称", "Text1"), ("开户银行", "Text2"), ("帐   号", "Text3"), ("省/市", "Text4"), ("市/县", "Text5")],
        buttons=EDIT5),
    'src/reference/khsz1.ui': dict(cls='khsz1', title='客户添加', heading='客 户 添 加',
        fields=[("客户名称", "Text1_0"), ("帐   号", "Text1_1"), ("开户行", "Text1_2"), ("省/市", "Text1_3"), ("市/县", "Text1_4")],
        buttons=[("Command1", "保存(&S)"), ("Command2", "取消(&C)"), ("Command3", "退出(&X)")]),
    'src/reference/khsz2.ui': dict(cls='khsz2', title='客户管理', heading='客 户 管 理',
        fields=[("客户名称：", "Text1"), ("帐   号：", "Text2"), ("开户行：", "Text3"), ("省/市", "Text4"), ("市/县", "Text5")],
        grid='DataGrid1', width=640,
        search=("查询(&Q)", "txtSearch", [("cmdFind", "查找(&F)"), ("cmdFindInitials", "简称查找(&J)"), ("cmdShowAll", "刷新(&R)")]),
        buttons=[("Command1", "修改(&M)"), ("Command2", "删除(&D)"), ("Command3", "取消(&C)"), ("Command4", "保存(&S)"), ("Command5", "退出(&X)")]),
    'src/reference/xzgsmc.ui': dict(cls='xzgsmc', title='选择公司名称', extra_top=[("Label2", "")],
        fields=[("收款人名称", "Text1")], grid='DataGrid1', width=640,
        buttons=[("Command1", "确认选择")]),
    'src/reference/ytsz1.ui': dict(cls='ytsz1', title='用途添加', heading='用 途 添 加',
        fields=[("请输入用途", "Text1")],
        buttons=[("Command1", "保存"), ("Command2", "取消"), ("Command3", "退出")]),
    'src/reference/ytsz2.ui': dict(cls='ytsz2', title='用途管理', heading='用途管理',
        fields=[("用途", "Text1")], grid='DataGrid1', grid_hint='点击下表选择',
        buttons=[("Command1", "修改(&M)"), ("Command2", "删除(&D)"), ("Command3", "取消(&C)"), ("Command4", "保存(&S)"), ("Command5", "退出(&X)")]),
    'src/reference/xzyt.ui': dict(cls='xzyt', title='选择用途', extra_top=[("Label1", "")],
        fields=[("用途", "Text1")], grid='DataGrid1',
        buttons=[("Command1", "确认选择")]),
}

def main():
    """Writes every form; with --check, writes nothing and exits 1 naming each form that differs."""
    import sys
    check = '--check' in sys.argv[1:]
    differ = []
    for path, layout in FORMS.items():
        text = form(**layout)
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
        print('not as tools/formgen.py writes them: ' + ', '.join(differ))
        sys.exit(1)


if __name__ == '__main__':
    main()
