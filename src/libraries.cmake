# The program's libraries, one per folder of src/, each with the folders it may use directly (its own is
# always allowed). The build links each library only with these and shows it only their headers, so that
# a forbidden #include fails to compile; the test "layering" also compares every folder's #include lines
# with this table. The core libraries come first, lowest layer first; the table must stay acyclic.
#
#   model   base
#     |  \    |
#   analysis  formats  history  machine
#     |         |        |        |
#   print     dealing  generate  maintenance (dealing's card settings)
#               |        |
#               |      editor
#     \_________|________|_______/
#                  app
#          ________|_________
#         ui (print_qt)     cli      tools (machine only)
#         |
#        main
set(ORVENIX_CORE_LIBRARIES model base analysis formats history machine print generate editor dealing
    maintenance app)
set(ORVENIX_USES_model "")
set(ORVENIX_USES_base "")
set(ORVENIX_USES_analysis model)
set(ORVENIX_USES_formats model base)
set(ORVENIX_USES_history model base)
set(ORVENIX_USES_machine model base)
set(ORVENIX_USES_print model base analysis)
set(ORVENIX_USES_generate model base history)
set(ORVENIX_USES_editor model base history generate)
set(ORVENIX_USES_dealing model base formats machine)
set(ORVENIX_USES_maintenance model base machine dealing)
set(ORVENIX_USES_app ${ORVENIX_CORE_LIBRARIES})
list(REMOVE_ITEM ORVENIX_USES_app app)
# The front ends and the Qt printing surface.
set(ORVENIX_USES_print_qt print)
set(ORVENIX_USES_ui ${ORVENIX_CORE_LIBRARIES} print_qt)
set(ORVENIX_USES_cli ${ORVENIX_CORE_LIBRARIES} print_qt)
set(ORVENIX_USES_tools machine)
set(ORVENIX_USES_main ui app base model)
