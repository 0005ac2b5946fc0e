# The Debian package: `cpack -G DEB` in a build configured by scripts/package.sh.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tradeledger)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "TradeLedger")
set(CPACK_PACKAGE_CONTACT "TradeLedger developers <packaging@tradeledger.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "商贸进销存 - bookkeeping for a small trading business")
# The first line of the package's description is the summary above.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "管理小型商贸企业的采购、销售、仓库间调拨和各仓库库存，以及客户、供应商、
产品等设置、操作员权限和统计图表。附带命令行工具 tradeledger-cli，可在终端或
脚本中做统计、导入、导出、检查和备份。界面文字为中文。
.
Purchases, sales, transfers between warehouses and the stock each warehouse
holds, with master data, per-operator rights, reports and charts. Includes the
command-line tool tradeledger-cli for reports, imports, exports, checks and
backups from scripts. The user interface is in Chinese.")
# The libraries come from dpkg-shlibdeps; the plugins, fonts and translations
# the program loads at run time are named here. Printouts prefer Droid Sans
# Fallback: PDF readers copy and search its Chinese texts as written, where
# Noto CJK's shared glyphs come back as radicals (页 as ⻚).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6sql6-sqlite, qt6-qpa-plugins, fonts-noto-cjk, fonts-droid-fallback, qt6-translations-l10n")
# Native Wayland windows; without it Qt draws through XWayland. Only suggested:
# it pulls in Qt's QML and Quick libraries.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "qt6-wayland")
include(CPack)
