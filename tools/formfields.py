#!/usr/bin/env python3
"""Writes the named controls of the voucher forms: one header per form beside it, a struct with a
member for each control the code uses, bound to the documented object name once.

The object names (Text8, Command9) stay as the forms and the profile files know them; the code
reads fields.amount instead of ui->Text8, and a name that is not on the form fails here, at build
time, not at the first click. Run from the repository root: python3 tools/formfields.py
(--check: exit 1 naming each header that differs from what the tables give).
"""
import sys
import xml.etree.ElementTree as ET

HEADER = 'Written by tools/formfields.py from its tables; change them there.'

# The search block every voucher window has.
SEARCH = [
    ('search', 'Text43', 'the customer searched for, by name or initials'),
    ('byName', 'Command5', '查找(&F)'),
    ('refresh', 'Command4', '刷新(&R)'),
    ('grid', 'DataGrid1', 'the customers found'),
    ('exit', 'Command7', '退出(&X)'),
    ('preview', 'cmdPreview', '套打预览(&Y)'),
]
TEN_CELLS = ['Text9', 'Text10', 'Text11', 'Text12', 'Text13', 'Text14', 'Text15', 'Text16', 'Text17', 'Text18']
ELEVEN_CELLS = TEN_CELLS + ['Text29']
CONFIRMED = [
    ('confirmedYear', 'Text33', 'the confirmed date: year'),
    ('confirmedMonth', 'Text34', 'month'),
    ('confirmedDay', 'Text35', 'day'),
]
AMOUNT = [
    ('amount', 'Text8', '请输入金额'),
    ('amountWords', 'Text28', 'the amount in capitals'),
]
PURPOSE = [
    ('purpose', 'Text19', '用途 as typed'),
    ('purposeCopy', 'Text20', 'its copy on the replica, printed and recorded'),
]

FORMS = {
    'zpdy': ('ChequeFields', 'the cheque', SEARCH + AMOUNT + PURPOSE + [
        ('byInitials', 'Command6', '简称查找(&J)'),
        ('pickCustomer', 'Command2', 'the customer picker'),
        ('pickPurpose', 'Command3', 'the purpose picker'),
        ('confirmDate', 'Command1', '确定日期(&Q)'),
        ('print', 'Command9', '打印(&P)'),
        ('editCalibration', 'Command10', '修改'),
        ('saveCalibration', 'Command8', ' 保存'),
        ('datePicker', 'DTPicker1', 'the date picked'),
        ('number', 'Text21', '支票号码'),
        ('payee', 'Text25', '收款人'),
        ('payingBank', 'Text3', '付款行名称: the own bank, by the bank switch'),
        ('drawerAccount', 'Text22', '出票人帐号: the own account, by the bank switch'),
        ('capitalYear', 'Text33', 'the date in capitals: year'),
        ('capitalMonth', 'Text34', 'month'),
        ('capitalDay', 'Text35', 'day'),
        ('stubYear', 'Text38', 'the counterfoil\'s date: year'),
        ('stubMonth', 'Text39', 'month'),
        ('stubDay', 'Text40', 'day'),
        ('stubPayee', 'Text5', 'the counterfoil\'s payee'),
        ('stubAmount', 'Text29', 'the counterfoil\'s amount, as currency text'),
        ('stubPurpose', 'Text27', 'the counterfoil\'s purpose'),
        ('bankOn', 'Option1', '是: the bank and account printed'),
        ('bankOff', 'Option2', '否'),
        ('stubOn', 'Option3', '是: the counterfoil printed'),
        ('stubOff', 'Option4', '否'),
        ('bankSwitch', 'Text69', 'the bank switch as chosen ("1" or "0")'),
        ('stubSwitch', 'Text70', 'the counterfoil switch as chosen'),
    ], TEN_CELLS),
    'jzddy': ('DepositFields', 'the deposit slip', SEARCH + AMOUNT + PURPOSE + CONFIRMED + [
        ('byInitials', 'Command8', '简称查找(&J)'),
        ('pickCustomer', 'Command2', 'the customer picker'),
        ('pickPurpose', 'Command9', 'the purpose picker'),
        ('confirmDate', 'Command1', '确定日期'),
        ('print', 'Command3', '打印(&P)'),
        ('editCalibration', 'Command10', '修改'),
        ('saveCalibration', 'Command6', ' 保存'),
        ('datePicker', 'DTPicker1', 'the date picked'),
        ('billKind', 'Text4', '票据种类 as typed'),
        ('number', 'Text5', '票据号码 as typed'),
        ('billCount', 'Text6', '票据张数 as typed'),
        ('billKindCopy', 'Text21', 'their copies on the replica, printed and recorded'),
        ('numberCopy', 'Text24', ''),
        ('billCountCopy', 'Text26', ''),
        ('payerName', 'Text3', 'the customer who pays in: 全称'),
        ('payerAccount', 'Text22', '帐号'),
        ('payerBank', 'Text30', '汇出行名称'),
        ('payeeName', 'Text25', 'the own company who receives: 全称'),
        ('payeeAccount', 'Text2', '帐号'),
        ('payeeBank', 'Text23', '汇入行名称'),
    ], ELEVEN_CELLS),
    'jkddy': ('NoticeFields', 'the payment notice', SEARCH + AMOUNT + PURPOSE + CONFIRMED + [
        ('byInitials', 'Command8', '简称查找(&J)'),
        ('pickCustomer', 'Command2', 'the customer picker'),
        ('pickPurpose', 'Command9', 'the purpose picker'),
        ('confirmDate', 'Command1', '确定日期'),
        ('print', 'Command11', '打印(&P)'),
        ('editCalibration', 'Command10', '修改'),
        ('saveCalibration', 'Command6', ' 保存'),
        ('datePicker', 'DTPicker1', 'the date picked'),
        ('number', 'Text40', '单号'),
        ('billKind', 'Text4', '票据种类 as typed'),
        ('address', 'Text5', '单位地址 as typed'),
        ('remark', 'Text6', '备注 as typed'),
        ('billKindCopy', 'Text21', 'the lower texts of the notice, printed (and editable there)'),
        ('addressCopy', 'Text24', ''),
        ('remarkCopy', 'Text26', ''),
        ('payerName', 'Text3', 'the customer who pays: 全称'),
        ('payerAccount', 'Text22', '帐号'),
        ('payerBank', 'Text30', '汇出行'),
        ('payeeName', 'Text25', 'the own company who receives: 全称'),
        ('payeeAccount', 'Text2', '帐号'),
        ('payeeBank', 'Text23', '汇入行'),
    ], ELEVEN_CELLS),
    'tydhpz': ('GeneralWireFields', 'the general wire voucher', SEARCH + AMOUNT + PURPOSE + CONFIRMED + [
        ('byInitials', 'Command8', '简称查找(&J)'),
        ('pickCustomer', 'Command6', 'the customer picker'),
        ('pickPurpose', 'Command2', 'the purpose picker'),
        ('confirmDate', 'Command1', '确定日期(&Q)'),
        ('print', 'Command3', '打印(&P)'),
        ('rememberPlaces', 'Command9', '记注此设置'),
        ('editLayout', 'Command13', '修改'),
        ('saveLayout', 'Command12', '保存'),
        ('cancelLayout', 'Command11', '取消'),
        ('exitLayout', 'Command10', 'the settings tab\'s 退出'),
        ('placesOn', 'Option1', 'the places printed'),
        ('placesOff', 'Option2', 'the places left blank'),
        ('datePicker', 'DTPicker1', 'the date picked'),
        ('number', 'Text39', '凭证号'),
        ('password', 'Text40', '支付密码: printed, never stored'),
        ('payerName', 'Text3', 'the own company who wires: 全称'),
        ('payerAccount', 'Text22', '帐号'),
        ('payerBank', 'Text30', '汇出行名称'),
        ('payerProvince', 'Text4', '汇出地点: province'),
        ('payerCity', 'Text5', 'city'),
        ('payeeName', 'Text25', 'the customer who receives: 全称'),
        ('payeeAccount', 'Text2', '帐号'),
        ('payeeBank', 'Text23', '汇入行名称'),
        ('payeeProvince', 'Text6', '汇入地点: province'),
        ('payeeCity', 'Text21', 'city'),
    ], ELEVEN_CELLS),
    'tydysz': ('GeneralLayoutFields', 'the general layout settings', [
        ('modify', 'Command1', '修改(&M)'),
        ('save', 'Command2', '保存(&S)'),
        ('cancel', 'Command3', '取消(&C)'),
        ('exit', 'Command4', '退出(&X)'),
        ('firstBox', 'Text1', 'the first box, where editing starts'),
        ('passwordSpacing', 'Text73', 'the password spacing, kept but not shown'),
        ('passwordSpacingLabel', 'label_Text73', ''),
    ], None),
    'jhdhpz': ('WireFields', 'the construction-bank wire voucher', [
        ('byInitials', 'Command9', '简称查找(&J)'),
        ('pickCustomer', 'Command6', 'the customer picker beside the search'),
        ('pickPayee', 'Command2', 'the customer picker beside the payee'),
        ('pickPurpose', 'Command8', 'the purpose picker'),
        ('paymentCode', 'Text40', '支付密码: printed, never stored'),
    ], None),
    'nhjsywsqs': ('SettlementFields', 'the agricultural-bank settlement application', [
        ('byInitials', 'Command8', '简称查找(&J)'),
        ('pickCustomer', 'Command2', 'the customer picker'),
        ('pickPurpose', 'Command6', 'the purpose picker'),
        ('number', 'Text39', '申请书号码: where the search leaves the focus'),
        ('paymentCode', 'Text42', '支付密码: printed, never stored'),
        ('typeWire', 'Check3', '电汇'),
        ('typeMail', 'Check4', '信汇'),
        ('typeDraft', 'Check5', '汇票'),
        ('typeNote', 'Check6', '本票'),
        ('typeOther', 'Check7', '其它'),
    ], None),
}

# What each form's replica shows, by the face member (what goes on paper) it fills: readFace() copies
# the controls' texts into a face, and the digit cells into face.cells.
FACES = {
    'zpdy': [
        ('year', 'stubYear'), ('month', 'stubMonth'), ('day', 'stubDay'),
        ('counterfoilPayee', 'stubPayee'), ('counterfoilAmount', 'stubAmount'),
        ('counterfoilPurpose', 'stubPurpose'), ('capitalYear', 'capitalYear'),
        ('capitalMonth', 'capitalMonth'), ('capitalDay', 'capitalDay'), ('payee', 'payee'),
        ('bank', 'payingBank'), ('account', 'drawerAccount'), ('amountWords', 'amountWords'),
        ('purpose', 'purposeCopy'),
    ],
    'jzddy': [
        ('year', 'confirmedYear'), ('month', 'confirmedMonth'), ('day', 'confirmedDay'),
        ('remitterName', 'payerName'), ('remitterAccount', 'payerAccount'),
        ('remitterBank', 'payerBank'), ('amountWords', 'amountWords'), ('payeeName', 'payeeName'),
        ('payeeAccount', 'payeeAccount'), ('payeeBank', 'payeeBank'), ('billKind', 'billKindCopy'),
        ('billNumber', 'numberCopy'), ('billCount', 'billCountCopy'), ('purpose', 'purposeCopy'),
    ],
    'jkddy': [
        ('year', 'confirmedYear'), ('month', 'confirmedMonth'), ('day', 'confirmedDay'),
        ('payerName', 'payerName'), ('payerAccount', 'payerAccount'), ('payerBank', 'payerBank'),
        ('amountWords', 'amountWords'), ('payeeName', 'payeeName'),
        ('payeeAccount', 'payeeAccount'), ('payeeBank', 'payeeBank'), ('billKind', 'billKindCopy'),
        ('address', 'addressCopy'), ('purpose', 'purposeCopy'), ('remark', 'remarkCopy'),
    ],
    'tydhpz': [
        ('year', 'confirmedYear'), ('month', 'confirmedMonth'), ('day', 'confirmedDay'),
        ('payerName', 'payerName'), ('payerAccount', 'payerAccount'),
        ('payerProvince', 'payerProvince'), ('payerCity', 'payerCity'), ('payerBank', 'payerBank'),
        ('amountWords', 'amountWords'), ('payeeName', 'payeeName'),
        ('payeeAccount', 'payeeAccount'), ('payeeProvince', 'payeeProvince'),
        ('payeeCity', 'payeeCity'), ('payeeBank', 'payeeBank'), ('password', 'password'),
        ('purpose', 'purposeCopy'),
    ],
    'bankform': [
        ('year', 'confirmedYear'), ('month', 'confirmedMonth'), ('day', 'confirmedDay'),
        ('payerName', 'payerName'), ('payerAccount', 'payerAccount'), ('payerBank', 'payerBank'),
        ('amountWords', 'amountWords'), ('payeeName', 'payeeName'),
        ('payeeAccount', 'payeeAccount'), ('payeeBank', 'payeeBank'), ('purpose', 'purposeCopy'),
    ],
}

# Forms outside src/vouchers: folder and namespace.
ELSEWHERE = {
    'pldy': ('src/batch', 'batch', 'BatchFields', 'the batch window', [
        ('kind', 'Combo1', '凭证种类'),
        ('open', 'Command1', '打开'),
        ('reload', 'Command2', '重新读取'),
        ('saveTemplate', 'Command3', '保存模板'),
        ('print', 'Command4', '打印'),
        ('savePdf', 'Command5', '保存为PDF'),
        ('exit', 'Command6', '退出'),
        ('allowRepeats', 'Check1', '30天内重复的付款也打印'),
        ('status', 'Label1', 'what the list holds and what stands in the way'),
        ('path', 'Text1', 'the list file'),
        ('grid', 'DataGrid1', 'the rows of the list'),
    ]),
}

# What the two bank forms share, bound from either form.
SHARED = ('BankFormFields', 'the two bank forms', ['jhdhpz', 'nhjsywsqs'], SEARCH + AMOUNT + PURPOSE + CONFIRMED + [
    ('confirmDate', 'Command1', '确定日期(&Q)'),
    ('print', 'Command3', '打印(&P)'),
    ('number', 'Text39', 'the voucher\'s number'),
    ('typedYear', 'Text32', 'the date as typed: year'),
    ('typedMonth', 'Text36', 'month'),
    ('typedDay', 'Text37', 'day'),
    ('payerName', 'Text3', 'the own company who pays: 全称'),
    ('payerAccount', 'Text22', '帐号'),
    ('payerBank', 'Text30', 'bank'),
    ('payeeName', 'Text25', 'the customer who receives: 全称'),
    ('payeeAccount', 'Text2', '帐号'),
    ('payeeBank', 'Text23', 'bank'),
    ('normal', 'Check1', '普通'),
    ('urgent', 'Check2', '加急'),
], ELEVEN_CELLS)


def classes(form, folder='src/vouchers'):
    tree = ET.parse(f'{folder}/{form}.ui')
    return {w.get('name'): w.get('class') for w in tree.iter('widget')}


def members(form_classes, table, cells, where):
    lines, inits = [], []
    for member, name, note in table:
        cls = form_classes.get(name)
        if cls is None:
            sys.exit(f'{where}: no control {name} on the form')
        comment = f'// {name}' + (f' {note}' if note else '')
        lines.append(f'    {cls} *{member}; {comment}')
        inits.append(f'{member}(ui.{name})')
    if cells:
        for name in cells:
            if name not in form_classes:
                sys.exit(f'{where}: no control {name} on the form')
        lines.append(f'    QList<QLineEdit *> cells; // {cells[0]} (分) ... {cells[-1]}, the digit cells from the right')
        inits.append('cells{' + ', '.join(f'ui.{n}' for n in cells) + '}')
    return lines, inits


def read_face(pairs, cells):
    """readFace(): the replica's texts into a face, as the controls show them now."""
    out = ['', '    // The replica\'s texts as the controls show them now into a face (what goes on paper)' +
           (', the digit cells into face.cells.' if cells else '.'),
           '    template <typename Face>', '    void readFace(Face &f) const', '    {']
    out += [f'        f.{face} = {member}->text();' for face, member in pairs]
    if cells:
        out += ['        f.cells.clear();', '        for (const QLineEdit *cell : cells)', '            f.cells << cell->text();']
    out.append('    }')
    return out


def header(struct, what, forms, lines, inits, template, namespace='vouchers', face=None, cells=False):
    out = ['#pragma once',
           f'// The named controls of {what} ({", ".join(f + ".ui" for f in forms)}): each documented object',
           '// name once, with the name the code uses.',
           f'// {HEADER}', '']
    out += [f'#include "ui_{f}.h"' for f in forms]
    out += ['', '#include <QList>', '', f'namespace {namespace} {{', '', f'struct {struct} {{']
    out += lines
    out.append('')
    if template:
        out.append('    template <typename Form>')
        ctor = f'    explicit {struct}(const Form &ui)'
    else:
        ctor = f'    explicit {struct}(const Ui::{forms[0]} &ui)'
    out.append(ctor)
    out.append('        : ' + ',\n          '.join(inits))
    out += ['    {', '    }']
    if face:
        out += read_face(face, cells)
    out += ['};', '', f'}} // namespace {namespace}', '']
    return '\n'.join(out)


def render():
    files = {}
    for form, (struct, what, table, cells) in FORMS.items():
        lines, inits = members(classes(form), table, cells, form)
        files[f'src/vouchers/{form}fields.h'] = header(struct, what, [form], lines, inits, False,
                                                       face=FACES.get(form), cells=bool(cells))
    for form, (folder, namespace, struct, what, table) in ELSEWHERE.items():
        lines, inits = members(classes(form, folder), table, None, form)
        files[f'{folder}/{form}fields.h'] = header(struct, what, [form], lines, inits, False, namespace)
    struct, what, forms, table, cells = SHARED
    found = [classes(f) for f in forms]
    for member, name, _ in table:
        if len({c.get(name) for c in found}) != 1:
            sys.exit(f'{struct}: {name} is not the same control on {", ".join(forms)}')
    lines, inits = members(found[0], table, cells, struct)
    files['src/vouchers/bankformfields.h'] = header(struct, what, forms, lines, inits, True, face=FACES['bankform'],
                                                    cells=True)
    return files


def main():
    check = '--check' in sys.argv[1:]
    differ = []
    for path, text in render().items():
        if check:
            try:
                with open(path, encoding='utf-8') as f:
                    if f.read() != text:
                        differ.append(path)
            except FileNotFoundError:
                differ.append(path)
        else:
            with open(path, 'w', encoding='utf-8') as f:
                f.write(text)
    if differ:
        print('not as tools/formfields.py writes them: ' + ', '.join(differ))
        sys.exit(1)


if __name__ == '__main__':
    main()
