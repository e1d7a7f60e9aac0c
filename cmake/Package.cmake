# Installation in the usual places of a Linux desktop, and the Debian package CPack makes of it
# (cpack -G DEB in the build folder gives lanshi_<version>_<arch>.deb).
#
# Qt's own Chinese translation (qtbase_zh_CN.qm, loaded from Qt's translations folder) is not
# installed with the program: the package depends on qt6-translations-l10n, which puts it where Qt
# looks, and keeps it in step with the Qt the program runs on.

install(TARGETS lanshi RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/resources/lanshi.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${LANSHI_ICON_DIR}/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lanshi)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "蓝石软件")
set(CPACK_PACKAGE_CONTACT "蓝石软件 <support@lanshi-soft.cn>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "bank voucher printing for small business cashiers / 出纳银行票据套打")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"蓝石竞技通为小企业出纳在银行预印凭证上套打支票、进账单、建行电汇凭证、
通用电汇凭证、农行结算业务申请书和交款单：金额自动写成人民币大写，
按校准的位置打印，并记入打印历史。另有往来单位通讯录（按名称或拼音
首字母查找，可从 Excel、WPS 表格或 CSV 导入）、款项用途、打印查询与
导出、数据备份与恢复、批量打印，以及斯诺克比赛计分板。

蓝石竞技通 fills in and prints Chinese bank vouchers (cheques, deposit
slips, wire-transfer vouchers, settlement applications, payment notices)
on pre-printed forms, writing the amount in capital numerals. It keeps an
address book of counterparties, payment purposes and a print history with
export, backup and restore, and includes a snooker scoreboard. The
interface is in Simplified Chinese.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.lanshi-soft.cn/")
# The libraries the program links come from dpkg-shlibdeps; these are what it loads or uses
# without linking: Qt's SQLite driver, Qt's Chinese translation, the Song face for 宋体, the CUPS
# library (loaded when the first job is made).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, qt6-translations-l10n, fonts-arphic-uming, libcups2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-zenhei, cups")
include(CPack)
